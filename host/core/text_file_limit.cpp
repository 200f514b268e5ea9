#include "host/core/text_file_limit.h"

#include "host/core/exceptions.h"
#include "host/core/file_errors.h"

namespace kv {

void CheckTextFileSize(UStringView fileName, int64_t size) {
  if (size <= kMaxTextFileBytes) return;
  throw EReadError(FileErrorMessage(u"Cannot read", fileName,
                                    u"It has " + IntToUStr(size) +
                                        u" bytes, more than a text can hold (at most " +
                                        IntToUStr(kMaxTextFileBytes) + u")"));
}

}  // namespace kv
