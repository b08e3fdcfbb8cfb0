// The real cursors of the hover rules and the link tip's lines.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPixmap>
#include <QToolTip>

#include <vector>

#include "view/hover/hover_cursors.h"
#include "view/hover/hover_tip.h"
#include "view/view_test_app.h"

TEST(HoverCursors, StandardShapesWhereTheyFitAndDrawnOnesForTheProgramsOwn) {
  ASSERT_NE(nullptr, QCoreApplication::instance());
  EXPECT_EQ(Qt::ArrowCursor, HoverCursors_cursor(HoverCursor::Arrow).shape());
  EXPECT_EQ(Qt::IBeamCursor, HoverCursors_cursor(HoverCursor::IBeam).shape());
  EXPECT_EQ(Qt::SizeHorCursor, HoverCursors_cursor(HoverCursor::SizeWE).shape());
  EXPECT_EQ(Qt::SizeVerCursor, HoverCursors_cursor(HoverCursor::SizeNS).shape());
  EXPECT_EQ(Qt::SizeFDiagCursor, HoverCursors_cursor(HoverCursor::SizeNWSE).shape());
  EXPECT_EQ(Qt::SizeBDiagCursor, HoverCursors_cursor(HoverCursor::SizeNESW).shape());
  EXPECT_EQ(Qt::SizeAllCursor, HoverCursors_cursor(HoverCursor::SizeAll).shape());
  EXPECT_EQ(Qt::ForbiddenCursor, HoverCursors_cursor(HoverCursor::Forbidden).shape());
  EXPECT_EQ(Qt::PointingHandCursor, HoverCursors_cursor(HoverCursor::Hand).shape());

  std::vector<QImage> drawn;
  for (HoverCursor c : {HoverCursor::MoveFigure, HoverCursor::MoveText, HoverCursor::Rotate,
                        HoverCursor::ImageShrunk, HoverCursor::ImageEnlarged}) {
    SCOPED_TRACE(static_cast<int>(c));
    const QCursor cursor = HoverCursors_cursor(c);
    ASSERT_EQ(Qt::BitmapCursor, cursor.shape());
    const QImage image = cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(QSize(32, 32), image.size());
    EXPECT_TRUE(image.rect().contains(cursor.hotSpot()));
    int black = 0, white = 0, clear = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        const QRgb p = image.pixel(x, y);
        black += p == 0xFF000000u;
        white += p == 0xFFFFFFFFu;
        clear += qAlpha(p) == 0;
      }
    // Black ink in a white outline on a clear ground: seen on any page.
    EXPECT_GT(black, 20);
    EXPECT_GT(white, 20);
    EXPECT_GT(clear, 300);
    for (const QImage& other : drawn) EXPECT_NE(other, image);
    drawn.push_back(image);
    // Made once: the same cursor again.
    EXPECT_EQ(image, HoverCursors_cursor(c).pixmap().toImage().convertToFormat(QImage::Format_ARGB32));
  }
}

TEST(HoverTip, LongLinksBreakIntoLinesOfTheTipsWidthAfterASlashWhereOneFalls) {
  ASSERT_NE(nullptr, QCoreApplication::instance());
  const QFontMetrics metrics(QToolTip::font());
  EXPECT_EQ(u"http://example.com/a.html"_qs, HoverTip_wrap(u"http://example.com/a.html"_qs, metrics));
  QString path = u"../資料/"_qs;
  for (int i = 0; i < 30; ++i) path += u"とても長いフォルダの名前"_qs + QString::number(i) + u"/"_qs;
  path += u"最後のファイル.svg"_qs;
  const QString blob = QString(300, u'W');  // no place to break
  for (const QString& text : {path, blob, u"短い行\n"_qs + path}) {
    const QString wrapped = HoverTip_wrap(text, metrics);
    const QStringList lines = wrapped.split(u'\n');
    EXPECT_GT(lines.size(), 2);
    for (const QString& line : lines) EXPECT_LE(metrics.horizontalAdvance(line), HoverTip_maxWidth);
    // Nothing lost or added but the line breaks.
    QString joined = wrapped;
    joined.remove(u'\n');
    QString original = text;
    original.remove(u'\n');
    EXPECT_EQ(original, joined);
    if (text == path) {
      for (qsizetype i = 0; i + 1 < lines.size(); ++i) EXPECT_TRUE(lines[i].endsWith(u'/')) << i;
    }
  }
}
