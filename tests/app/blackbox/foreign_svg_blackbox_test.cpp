// Drawings of other programs through the built program: "-cp" draws them
// as another SVG renderer (rsvg-convert) does, and "-cs" keeps everything
// they draw, the second time byte for byte.
#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/filex/filex.h"
#include "zerbin_run.h"

using namespace testing_support;

namespace {

struct Drawing {
  const char* name;
  std::string svg;
};

// Simple shapes and shapes with text, in the ways other programs write
// them.
const std::vector<Drawing>& drawings() {
  static const std::vector<Drawing> all = {
      {"attributes",
       "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"200\" height=\"120\">"
       "<rect x=\"10\" y=\"10\" width=\"60\" height=\"40\" fill=\"red\" stroke=\"navy\" "
       "stroke-width=\"4\"/><rect x=\"90\" y=\"10\" width=\"60\" height=\"40\" fill=\"none\" "
       "stroke=\"#0a0\" stroke-width=\"3\"/><rect x=\"40\" y=\"30\" width=\"60\" height=\"40\" "
       "style=\"fill:#fc0\" fill=\"black\"/><circle cx=\"160\" cy=\"80\" r=\"25\" fill=\"teal\"/>"
       "<ellipse cx=\"50\" cy=\"95\" rx=\"40\" ry=\"15\" fill=\"rgb(50%,0%,50%)\"/>"
       "<line x1=\"100\" y1=\"110\" x2=\"190\" y2=\"20\" stroke=\"orange\" stroke-width=\"2\"/></svg>"},
      {"viewbox",
       "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 100 50\"><rect x=\"5\" y=\"5\" "
       "width=\"40\" height=\"20\" fill=\"steelblue\"/><circle cx=\"70\" cy=\"25\" r=\"15\" "
       "fill=\"tomato\" stroke=\"black\"/></svg>"},
      {"graph",
       "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
       "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"206pt\" height=\"116pt\" "
       "viewBox=\"0.00 0.00 206.00 116.00\"><g id=\"graph0\" class=\"graph\" transform=\"scale(1 1) "
       "rotate(0) translate(4 112)\"><polygon fill=\"white\" stroke=\"transparent\" "
       "points=\"-4,4 -4,-112 202,-112 202,4 -4,4\"/><g id=\"node1\" class=\"node\"><title>a</title>"
       "<ellipse fill=\"none\" stroke=\"black\" cx=\"27\" cy=\"-90\" rx=\"27\" ry=\"18\"/>"
       "<text text-anchor=\"middle\" x=\"27\" y=\"-86.3\" font-family=\"Times,serif\" "
       "font-size=\"14.00\">a</text></g><g id=\"node2\" class=\"node\"><ellipse fill=\"lightgrey\" "
       "stroke=\"black\" cx=\"171\" cy=\"-18\" rx=\"27\" ry=\"18\"/></g><g id=\"edge1\" "
       "class=\"edge\"><path fill=\"none\" stroke=\"black\" d=\"M46.3,-77.4C70.4,-63.1 "
       "112.1,-39.4 140.7,-25.5\"/><polygon fill=\"black\" stroke=\"black\" points=\"142.5,-28.5 "
       "150.0,-21.0 139.5,-22.3 142.5,-28.5\"/></g></g></svg>\n"},
      {"units",
       "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"60mm\" height=\"30mm\"><rect x=\"5mm\" "
       "y=\"5mm\" width=\"20mm\" height=\"10mm\" fill=\"blue\"/><rect x=\"50%\" y=\"10%\" "
       "width=\"25%\" height=\"50%\" fill=\"green\" stroke=\"black\" stroke-width=\"1pt\"/></svg>"},
      {"nested",
       "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"240\" height=\"120\"><g "
       "transform=\"translate(10,10) scale(2)\"><rect width=\"30\" height=\"20\" fill=\"#369\"/>"
       "<svg x=\"40\" y=\"0\" width=\"40\" height=\"40\" viewBox=\"0 0 10 10\"><circle cx=\"5\" "
       "cy=\"5\" r=\"4\" fill=\"#c33\"/></svg></g><g transform=\"rotate(45 180 60)\"><rect "
       "x=\"160\" y=\"40\" width=\"40\" height=\"40\" fill=\"#963\"/></g><g opacity=\"0.5\"><rect "
       "x=\"10\" y=\"80\" width=\"80\" height=\"30\" fill=\"black\"/></g></svg>"},
      {"paths",
       "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
       "width=\"200\" height=\"150\"><defs><radialGradient id=\"r\"><stop offset=\"0\" "
       "stop-color=\"yellow\"/><stop offset=\"1\" stop-color=\"red\"/></radialGradient><path "
       "id=\"star\" d=\"M0,-20 L6,-6 20,-6 9,3 13,18 0,9 -13,18 -9,3 -20,-6 -6,-6z\"/></defs>"
       "<path d=\"M10 140 Q 60 10 110 140 T 190 140\" fill=\"none\" stroke=\"purple\" "
       "stroke-width=\"5\"/><polyline points=\"10,10 40,40 70,10 100,40\" fill=\"none\" "
       "stroke=\"green\" stroke-width=\"3\"/><use xlink:href=\"#star\" x=\"150\" y=\"40\" "
       "fill=\"url(#r)\"/><rect x=\"120\" y=\"80\" width=\"60\" height=\"40\" rx=\"10\" "
       "fill=\"#9cf\" stroke=\"#036\"/></svg>"},
      {"stylesheet",
       "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 160 80\" width=\"320\" "
       "height=\"160\"><style>.st0{fill:#E30613;} .st1{fill:none;stroke:#1D1D1B;stroke-width:2;} "
       "rect.big{fill:#0f0}</style><rect class=\"st0\" x=\"5\" y=\"5\" width=\"40\" height=\"30\"/>"
       "<rect class=\"st1\" x=\"55\" y=\"5\" width=\"40\" height=\"30\"/><rect class=\"big\" "
       "x=\"105\" y=\"5\" width=\"40\" height=\"30\"/><circle class=\"st0\" cx=\"30\" cy=\"60\" "
       "r=\"12\"/><text x=\"60\" y=\"65\" font-size=\"12\" fill=\"#333\">Label</text></svg>"},
      {"text",
       "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"220\" height=\"120\"><rect x=\"10\" "
       "y=\"10\" width=\"200\" height=\"100\" fill=\"#eef\" stroke=\"#99c\"/><text x=\"20\" "
       "y=\"40\" font-family=\"sans-serif\" font-size=\"16\" fill=\"#000\">First line<tspan "
       "x=\"20\" y=\"60\">second line</tspan></text><text x=\"110\" y=\"95\" font-size=\"14\" "
       "text-anchor=\"middle\" font-weight=\"bold\" fill=\"darkred\">" +
           std::string(reinterpret_cast<const char*>(u8"中央")) + "</text></svg>"},
  };
  return all;
}

// The share of pixels whose colour differs by more than anti-aliasing
// does (a quarter of the range in some channel); 1 when the sizes differ.
double differingShare(const QImage& a, const QImage& b) {
  if (a.size() != b.size() || a.isNull()) return 1;
  const QImage x = a.convertToFormat(QImage::Format_RGB32);
  const QImage y = b.convertToFormat(QImage::Format_RGB32);
  int64_t differ = 0;
  for (int row = 0; row < x.height(); ++row) {
    for (int col = 0; col < x.width(); ++col) {
      const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
      const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
      if (d > 64) ++differ;
    }
  }
  return double(differ) / (double(x.width()) * x.height());
}

TEST(ForeignSvgBlackBox, PageImagesLookAsAnotherRendererDrawsThem) {
  TempDir dir;
  std::vector<double> shares;
  for (const Drawing& d : drawings()) {
    const std::string svg = dir.file(std::string(d.name) + ".svg");
    FileX_writeWhole(svg, d.svg);
    const std::string ours = dir.file(std::string(d.name) + ".png");
    const std::string theirs = dir.file(std::string(d.name) + ".rsvg.png");
    ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-cp", svg, ours});
    ASSERT_EQ(r.status, 0) << d.name << r.echo;
    const std::string command = "rsvg-convert -b white -o '" + theirs + "' '" + svg + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << "rsvg-convert (librsvg2-bin) is needed";
    const double share = differingShare(QImage(QString::fromStdString(ours)),
                                        QImage(QString::fromStdString(theirs)));
    EXPECT_LT(share, 0.05) << d.name;
    shares.push_back(share);
  }
  std::sort(shares.begin(), shares.end());
  EXPECT_LT(shares[shares.size() / 2], 0.03);
}

TEST(ForeignSvgBlackBox, PublicCopiesKeepWhatIsDrawnAndTheSecondChangesNothing) {
  TempDir dir;
  std::vector<Drawing> all = drawings();
  // An older note's page that holds only a polygon, and a text framed by
  // an ellipse above the page.
  all.push_back({"polygon", "<svg width=\"100\" height=\"100\"><g id=\"page1\"><polygon "
                            "points=\"1,1 50,5 20,40 3,30 1,1\" style=\"fill:rgb(255,0,0)\"/></g>"
                            "<g id=\"page2\"><rect x=\"1\" y=\"2\" width=\"3\" height=\"4\"/></g></svg>"});
  all.push_back({"oval", "<svg sub_doctype=\"zerbin-300\" width=\"420\" height=\"320\"><g>"
                         "<ellipse cx=\"50.5\" cy=\"-40.5\" rx=\"30\" ry=\"15\" "
                         "style=\"fill:rgb(255,255,255);stroke:rgb(0,0,0);stroke-width:1\"/>"
                         "<text x=\"30.5px\" y=\"-35.5px\" style=\"font-size:12pt\">oval</text>"
                         "</g></svg>"});
  for (const Drawing& d : all) {
    const std::string name = d.name;
    FileX_writeWhole(dir.file(name + ".svg"), d.svg);
    for (const char* step : {".a.svg", ".b.svg"}) {
      const std::string from = dir.file(name + (step[1] == 'a' ? ".svg" : ".a.svg"));
      ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-cs", from, dir.file(name + step)});
      ASSERT_EQ(r.status, 0) << name << r.echo;
    }
    const std::string first = ReadFileBytes(dir.file(name + ".a.svg"));
    EXPECT_EQ(ReadFileBytes(dir.file(name + ".b.svg")), first) << name;
    if (name == "paths") {
      for (const char* kept : {"zerbin-foreign=\"path\"", "zerbin-foreign=\"polyline\"",
                               "zerbin-foreign=\"use\"", "<radialGradient id=\"r\""})
        EXPECT_NE(first.find(kept), std::string::npos) << kept;
    }
    if (name == "polygon") {
      EXPECT_NE(first.find("<polygon points=\"1,1 50,5 20,40 3,30 1,1\""), std::string::npos);
      EXPECT_NE(first.find("id=\"page2\""), std::string::npos);
    }
    if (name == "oval") EXPECT_NE(first.find("cy=\"-40.5\""), std::string::npos) << first;
  }
}

}  // namespace
