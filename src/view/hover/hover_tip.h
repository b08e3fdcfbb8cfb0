// The link tool tip's text: lines no wider than the tip control's 640
// pixels in the tip's font, broken after a blank or a slash where one
// falls in the line, else at the last character that fits.
#pragma once

#include <QFontMetrics>
#include <QString>

inline constexpr int HoverTip_maxWidth = 640;

QString HoverTip_wrap(const QString& text, const QFontMetrics& metrics,
                      int maxWidth = HoverTip_maxWidth);
