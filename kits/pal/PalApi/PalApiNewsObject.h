#pragma once

#include "kits/pal/PalApi/PalApiURLObject.h"

// A news link: a page address with a title, a description and a preview
// picture (targetContentType 3). Given only the preview's address, the kit
// fetches the picture before the share goes out.
class PalApiNewsObject : public PalApiURLKind<PalApiNewsObject, 3> {};
