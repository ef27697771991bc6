#include "Foundation/Utf8Text.h"

#include <QStringDecoder>

std::optional<std::string> utf8Text(std::string bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    [[maybe_unused]] const QString decoded = decoder(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (decoder.hasError())
        return std::nullopt;
    return bytes;
}
