#include "widgets/error_sink.h"

namespace klw {
namespace {
ErrorReporter g_reporter = nullptr;
}

void setErrorReporter(ErrorReporter reporter) noexcept { g_reporter = reporter; }

void reportCurrentError() noexcept {
    if (g_reporter) g_reporter(std::current_exception());
}

}  // namespace klw
