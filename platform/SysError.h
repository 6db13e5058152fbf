#pragma once
// The platform's description of a system error, as shown in the program's messages.
#include <QString>

// Japanese for the codes a settings file can meet, without trailing punctuation
// (the messages add their own); the C library's text for the rest.
QString SysErrorMessage(int errorCode);
