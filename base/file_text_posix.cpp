// The host build plays a Western Windows: old files are Windows-1252.
#include "base/file_text.h"

FileTextReading SystemFileTextReading() {
  return {true, Utf8FromWindows1252};
}
