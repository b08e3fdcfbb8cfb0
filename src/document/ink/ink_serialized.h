// The serialised ink format of tablet ink (the raw ink block of a note
// page): a stream of tagged blocks (drawing attributes, stroke
// descriptors, transforms, metrics, strokes) whose point data is packed
// with bit-width ("gorilla") or bit-amplitude Huffman coding, either on the
// values or on their second differences.
//
// Decoding reads what ink of other systems carries: points (x, y and the
// normal pressure), colour, width, height, pressure use, raster operation
// and transparency; transforms are applied to the points, everything else
// is passed over.  Encoding writes our strokes so that any reader of the
// format takes them: one drawing-attributes block and one stroke
// descriptor per distinct kind, points in gorilla coding.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/ink/ink_strokes.h"

// The strokes of a serialised block; none when the bytes are not the
// format or are damaged (a bad block is never partly taken).
std::optional<std::vector<InkStroke>> InkIsf_decode(std::string_view bytes);
std::string InkIsf_encode(std::span<const InkStroke> strokes);

// The same over the Base64 text a note carries (line breaks and blanks
// allowed); the empty text is the empty ink.
std::optional<std::vector<InkStroke>> InkIsf_decodeBase64(std::string_view text);
// Base64 in one line (the note writer breaks it); "" for no strokes.
std::string InkIsf_encodeBase64(std::span<const InkStroke> strokes);
