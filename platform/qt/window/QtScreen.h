#pragma once

#include "platform/Window.h"

namespace qz {

// The primary screen's size in twips.
class QtScreen final : public Screen {
public:
    float Width() override;
    float Height() override;
};

} // namespace qz
