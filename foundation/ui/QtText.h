#pragma once
// The one place where the program's Windows-1252 texts meet Qt's Unicode.
#include <QString>
#include <string>

QString ToQt(const std::string& cp1252);
std::string FromQt(const QString& text);
