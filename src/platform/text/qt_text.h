// Qt strings <-> the program's code page 932 text.
#pragma once

#include <QString>

#include <string>
#include <string_view>

QString QtText_fromCp932(std::string_view cp932);
// A character that code page 932 cannot hold becomes "?".
std::string QtText_toCp932(const QString& text);
