#pragma once
// What becomes of a failure in an event handler: handlers bound by the layout loader run
// inside RunHandler, so a failure escaping one never unwinds through Qt's event delivery;
// it is passed to the function set here instead (the application shows it).
#include <exception>
#include <functional>

using EventExceptionHandler = std::function<void(const std::exception &failure)>;
void SetEventExceptionHandler(EventExceptionHandler handler);
// Runs one handler call; false when it failed, the failure already reported.
bool RunHandler(const std::function<void()> &call);
