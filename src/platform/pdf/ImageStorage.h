#pragma once

namespace pdf {

// How often a raster image is stored in the document.
enum class ImageStorage {
    Shared,  // once per distinct image for the whole document, every page refers to it
    PerPage, // a new image object wherever it is printed
};

} // namespace pdf
