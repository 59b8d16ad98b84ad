#pragma once
// The error classes of the program. Every failure is raised as one of these; the message is the
// program's own text (UTF-8).
#include <exception>
#include <string>

namespace klw {

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

#define KLW_ERROR_CLASS(Name, Base) \
    class Name : public Base {      \
    public:                         \
        using Base::Base;           \
    }

// Dropped silently by the error report.
KLW_ERROR_CLASS(EAbort, Exception);
KLW_ERROR_CLASS(EStringListError, Exception);
KLW_ERROR_CLASS(EOutOfResources, Exception);
KLW_ERROR_CLASS(EConvertError, Exception);
KLW_ERROR_CLASS(EComponentError, Exception);
KLW_ERROR_CLASS(ERegistryException, Exception);
KLW_ERROR_CLASS(EStreamError, Exception);
KLW_ERROR_CLASS(EReadError, EStreamError);
KLW_ERROR_CLASS(EWriteError, EStreamError);
KLW_ERROR_CLASS(EFOpenError, EStreamError);
KLW_ERROR_CLASS(EFCreateError, EStreamError);
KLW_ERROR_CLASS(EClassNotFound, EStreamError);

#undef KLW_ERROR_CLASS

}  // namespace klw
