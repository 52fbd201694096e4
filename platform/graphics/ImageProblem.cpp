#include "graphics/ImageProblem.h"

#include "graphics/ImageLimits.h"

std::string imageProblemText(ImageProblem problem) {
    switch (problem) {
        case ImageProblem::NotAPicture: return "it is neither a PNG nor a JPEG picture";
        case ImageProblem::TooLarge:
            return "it is larger than " + std::to_string(kLargestImagePixels >> 20) + " megapixels (or " +
                   std::to_string(kLargestImageSide) + " pixels a side), the largest picture read";
        case ImageProblem::TooManyScans:
            return "it is a JPEG drawn in more than " + std::to_string(kMostJPEGScans) +
                   " passes (scans), the most read";
        case ImageProblem::Damaged: return "it is damaged or cut short";
    }
    return "it cannot be decoded";
}
