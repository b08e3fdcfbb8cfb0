#include "core/strx/strx_base64.h"

#include <gtest/gtest.h>

namespace {

TEST(StrXBase64, EncodeVectorsAndLines) {
  EXPECT_EQ(StrX_base64Encode(""), "");
  EXPECT_EQ(StrX_base64Encode("f"), "Zg==");
  EXPECT_EQ(StrX_base64Encode("fo"), "Zm8=");
  EXPECT_EQ(StrX_base64Encode("foo"), "Zm9v");
  EXPECT_EQ(StrX_base64Encode("foobar"), "Zm9vYmFy");
  EXPECT_EQ(StrX_base64Encode(std::string("\xFF\xFE\x00", 3)), "//4A");
  const std::string one = StrX_base64Encode(std::string(57, 'a'));
  ASSERT_EQ(one.size(), 78u);
  EXPECT_EQ(one.substr(76), "\r\n");
  const std::string more = StrX_base64Encode(std::string(58, 'a'));
  EXPECT_EQ(more.size(), 78u + 4u);
  EXPECT_EQ(more.substr(76, 2), "\r\n");
  EXPECT_EQ(more.substr(78), "YQ==");
  EXPECT_EQ(StrX_base64Encode(std::string(114, 'a')).size(), 2u * 78u);
}

TEST(StrXBase64, DecodeRoundTripAndStops) {
  std::string bytes;
  for (int i = 0; i < 300; ++i) bytes.push_back(static_cast<char>(i * 7));
  EXPECT_EQ(StrX_base64Decode(StrX_base64Encode(bytes)), bytes);
  size_t stop = 0;
  EXPECT_EQ(StrX_base64Decode(" Zm9v\r\n\tYmE=YQ==", &stop), "fooba");
  EXPECT_EQ(stop, 11u);  // at the '='
  EXPECT_EQ(StrX_base64Decode("Zm9vYmFy\"/>", &stop), "foobar");
  EXPECT_EQ(stop, 8u);  // at the quote
  EXPECT_EQ(StrX_base64Decode("Zm9v\x83YmFy", &stop), "foo");
  EXPECT_EQ(stop, 4u);
  EXPECT_EQ(StrX_base64Decode("Zm9vYmFy", &stop), "foobar");
  EXPECT_EQ(stop, 8u);
}

}  // namespace
