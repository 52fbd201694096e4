#pragma once

#include <string>

// Why a picture's bytes give no image.
enum class ImageProblem {
    NotAPicture,   // neither PNG nor JPEG
    TooLarge,      // over the size limits of ImageLimits
    TooManyScans,  // a JPEG of more scans than mostJPEGScans allows its size
    Damaged,       // cut short or corrupt
    Unsupported,   // colours the codecs do not read
    Stopped,       // decoding was stopped: the process is ending
};

// The problem in a person's words, as said after "cannot read the picture: ".
std::string imageProblemText(ImageProblem problem);
