#include "foundation/ui/QtText.h"

#include "foundation/Cp1252.h"

QString ToQt(const std::string& cp1252)
{
    QString s = QString::fromStdString(Cp1252ToUtf8(cp1252));
    // A carriage return alone inside a message means a line break.
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

std::string FromQt(const QString& text)
{
    return Utf8ToCp1252(text.toStdString());
}
