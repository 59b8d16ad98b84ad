#pragma once
// Where the guards of window procedures, the loop and the create step send an escaping error.
// The application installs its error report here.
#include <exception>

namespace klw {

using ErrorReporter = void (*)(std::exception_ptr) noexcept;

void setErrorReporter(ErrorReporter reporter) noexcept;
// Call from inside a catch block: hands the error being handled to the reporter.
void reportCurrentError() noexcept;

}  // namespace klw
