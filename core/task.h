#pragma once

// A unit of work, and something that runs it somewhere: on a background worker, or on the
// caller's main loop.

#include <functional>

namespace quillhaven {

using Task = std::function<void()>;
using TaskRunner = std::function<void(Task)>;

}  // namespace quillhaven
