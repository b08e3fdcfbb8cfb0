// "-cp SOURCE DEST" and "-cj SOURCE DEST": the pages of a note as PNG or
// JPEG images, read without a window (ExportPageImages run from the command
// line).  The options "-page=", "-max_size=", "-min_zoom=", "-max_fold=",
// "-vert" and "-nosubfo" choose the pages, the tiles and the names.
#pragma once

#include <cstdint>
#include <string>

struct CZerbinApp;

// 0 when every image was written; 1 after reporting the failure (echo file
// or message box).
int CZerbinApp_pageImages(CZerbinApp& app, uint32_t frame, const std::string& source,
                          const std::string& destination);
