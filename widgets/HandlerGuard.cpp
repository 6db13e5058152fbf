#include "HandlerGuard.h"

#include <utility>

namespace {

EventExceptionHandler &ExceptionHandler()
{
    static EventExceptionHandler h;
    return h;
}

} // namespace

void SetEventExceptionHandler(EventExceptionHandler handler)
{
    ExceptionHandler() = std::move(handler);
}

bool RunHandler(const std::function<void()> &call)
{
    try {
        call();
        return true;
    } catch (const std::exception &e) {
        if (ExceptionHandler())
            ExceptionHandler()(e);
        return false;
    }
}
