#include "view/hover/hover_tip.h"

#include <QStringList>

namespace {

bool breaksAfter(QChar c) { return c == u' ' || c == u'/' || c == u'\\' || c == u'\t'; }

}  // namespace

QString HoverTip_wrap(const QString& text, const QFontMetrics& metrics, int maxWidth) {
  QStringList out;
  for (const QString& paragraph : text.split(u'\n')) {
    QString rest = paragraph;
    while (metrics.horizontalAdvance(rest) > maxWidth) {
      // The longest head that fits (at least one character, whole pairs).
      qsizetype fit = 0;
      for (qsizetype n = 1; n <= rest.size(); ++n) {
        if (n < rest.size() && rest[n - 1].isHighSurrogate()) continue;
        if (metrics.horizontalAdvance(rest.left(n)) > maxWidth) break;
        fit = n;
      }
      if (fit == 0) fit = rest.size() > 1 && rest[0].isHighSurrogate() ? 2 : 1;
      qsizetype cut = fit;
      for (qsizetype i = fit; i > fit / 2; --i) {
        if (breaksAfter(rest[i - 1])) {
          cut = i;
          break;
        }
      }
      out.append(rest.left(cut));
      rest = rest.mid(cut);
    }
    out.append(rest);
  }
  return out.join(u'\n');
}
