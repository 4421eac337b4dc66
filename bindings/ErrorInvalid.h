#pragma once
// The one exception the imaging components and the codec binding raise.
#include <stdexcept>
#include <string>

class ErrorInvalid : public std::runtime_error {
  public:
    explicit ErrorInvalid(const std::string& message) : std::runtime_error(message) {}
};
