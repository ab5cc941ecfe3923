#pragma once
// Pictures by name, copied out on every load; a name it does not know fails to load.
#include <map>
#include <memory>
#include <string>

#include "platform/BitmapLoader.h"
#include "platform/Surface.h"

class CFakeBitmapLoader final : public IBitmapLoader {
public:
    std::unique_ptr<CSurface> LoadBitmap(const char* name) override
    {
        const auto found = pictures.find(name);
        if (found == pictures.end()) return nullptr;
        return std::make_unique<CSurface>(found->second);
    }
    std::map<std::string, CSurface> pictures;
};
