#pragma once

#include <stdexcept>
#include <string>

// A file could not be opened: a language text file that vanished, a program
// the desktop refused to start.
class EFOpenError : public std::runtime_error {
public:
    explicit EFOpenError(const std::string &mensagem) : std::runtime_error(mensagem) {}
};
