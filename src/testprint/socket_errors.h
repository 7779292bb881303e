// Windows Sockets error codes as a diagnostic names them.
#pragma once
#include <string>

// "10061 (WSAECONNREFUSED)": the code and, where known, its platform name.
std::string SocketErrorText(int code);
