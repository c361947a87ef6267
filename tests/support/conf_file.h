// The bytes of a "conf.qvr" as the program writes it, with these four values.
#pragma once

#include <string>

inline std::string confFile(const std::string& message, const std::string& interval = "0",
                            const std::string& speed = "1", const std::string& lite = "0") {
  return " Quorvane - 3.0 - Kelvaro \r\nDEFAULT_MSG\r\n" + message + "\r\nREPLY_INTERVAL\r\n" +
         interval + "\r\nUISpeed\r\n" + speed + "\r\nEXTENDED_GRAPHICS\r\n" + lite + "\r\nEnd\r\n";
}
