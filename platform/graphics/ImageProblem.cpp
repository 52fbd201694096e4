#include "graphics/ImageProblem.h"

#include "graphics/ImageLimits.h"

std::string imageProblemText(ImageProblem problem) {
    switch (problem) {
        case ImageProblem::NotAPicture: return "it is neither a PNG nor a JPEG picture";
        case ImageProblem::TooLarge:
            return "it is larger than " + std::to_string(kLargestImagePixels >> 20) + " megapixels (or " +
                   std::to_string(kLargestImageSide) + " pixels a side), the largest picture read";
        case ImageProblem::TooManyScans:
            return "it is a JPEG drawn in more passes (scans) than are read for its size (" +
                   std::to_string(kMostJPEGScans) + " up to " + std::to_string(kMostJPEGScanPixels / kMostJPEGScans >> 20) +
                   " megapixels, fewer in proportion above)";
        case ImageProblem::Damaged: return "it is damaged or cut short";
        case ImageProblem::Unsupported: return "its colours are of a kind that is not read";
        case ImageProblem::Stopped: return "its reading was stopped as the session ends";
    }
    return "it cannot be decoded";
}
