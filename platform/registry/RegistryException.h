// The error the registry service raises: a failed read or write of one value, with the text the
// user is shown ("Failed to get data for 'ShowTime'").
#pragma once

#include <stdexcept>
#include <string>

namespace plat {

class ERegistryException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace plat
