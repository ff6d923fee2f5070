#pragma once

#include <QString>

#include <stdexcept>

// The toolkit's one error type: a fixed English message and a help context
// that the toolkit always leaves at 0.
class ESonoMidiException : public std::runtime_error {
public:
    explicit ESonoMidiException(const QString &Msg);

    QString Message() const;
    int HelpContext() const { return 0; }
};
