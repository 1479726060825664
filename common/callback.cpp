#include "common/callback.h"

#include <functional>

namespace korvane {

void ThrowEmptyCallback() { throw std::bad_function_call(); }

}  // namespace korvane
