// The link of a picture or text box in a conversion script: a web address,
// a place in the note being converted, or another file with a place in it.
#include <gtest/gtest.h>

#include <string>

#include "figures/base/office_links.h"
#include "figures/base/office_script_writer.h"

namespace {

struct Parts {
  bool written = false;
  std::string address, subAddress;
};

Parts parts(std::string_view url) {
  OfficeScriptWriter w;
  w.notePath = "/n/note.svg";
  Parts p;
  p.written = OfficeLinkParts(w, url, p.address, p.subAddress);
  return p;
}

}  // namespace

TEST(OfficeLinkParts, WebAddressPlaceInTheNoteAndOtherFileWithAPlace) {
  // A web address: the address alone (an empty "#" part is dropped).
  Parts web = parts("http://example.com/a.html#");
  EXPECT_TRUE(web.written);
  EXPECT_EQ(web.address, "http://example.com/a.html");
  EXPECT_EQ(web.subAddress, "");

  // A place in this note (held with the note's path in front): no address,
  // the place as an identifier.
  Parts here = parts("/n/note.svg#Page 2");
  EXPECT_TRUE(here.written);
  EXPECT_EQ(here.address, "");
  EXPECT_EQ(here.subAddress, "Pagex202");

  // Another file with a place: the file is the address and the place the
  // sub-address.
  Parts web2 = parts("https://h/b.html#top-1");
  EXPECT_TRUE(web2.written);
  EXPECT_EQ(web2.address, "https://h/b.html");
  EXPECT_EQ(web2.subAddress, "topx2D1");

  // Nothing for an empty link or a file beside the note.
  EXPECT_FALSE(parts("").written);
  EXPECT_FALSE(parts("other.svg#p").written);
  EXPECT_FALSE(parts("/n/other.svg").written);
}
