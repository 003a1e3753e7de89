#pragma once

#include <QString>

#include <array>
#include <optional>
#include <stdexcept>

// A reply text that does not convert; reply handling drops the rest of that reply silently.
class ReplyFormatError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// One reply record "code:value" as the link delivers it.
struct ReplyRecord
{
    int code = 0;
    QString value;
};

// Splits a reply into code and value. The value is cut to the length of the trimmed text, so a
// trailing line end goes while the value itself is kept as sent. Returns nothing when the value
// holds only blanks. Throws ReplyFormatError when there is no colon or the code is not a number.
std::optional<ReplyRecord> splitReply(const QString& text);

// Reply numbers always use "." as the decimal separator, whatever the system's locale.
double replyNumber(const QString& text);
int replyInteger(const QString& text);

// The three fields of a 65 or 66 value: before the first comma, between the first and second,
// and everything after the second. Without a second comma only the first field is filled; empty
// fields fail when converted.
std::array<QString, 3> splitThree(const QString& value);
