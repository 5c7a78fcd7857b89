// The exceptions of the network path.
//
// ESockError reports a socket failure with the text its callers show or compare
// ("Connection Failed", "10061:Connection refused"); EAbortError is the time-out or cancel of a
// wait. Callers of the HTTP client catch ESockError; the plain runtime errors of a bad address
// ("Empty URL") and the conversion error of a port that is not a number (EConvertError,
// engine/StrToInt.h) deliberately do not derive from it.
#pragma once

#include <stdexcept>
#include <string>

class ESockError : public std::runtime_error {
public:
    explicit ESockError(const std::string& Message) : std::runtime_error(Message) {}
};

class EAbortError : public ESockError {
public:
    explicit EAbortError(const std::string& Message) : ESockError(Message) {}
};
