#include "costume/loaded_costume.h"

#include <cstdio>

#include "common/allocation.h"

StatusText NotPresentText(uint32_t costume) {
    StatusText status;
    std::snprintf(status.text, sizeof status.text, "Costume %u is not present on this disk.",
                  static_cast<unsigned>(costume));
    return status;
}

const char* LoadResultName(CostumeLoadResult result) {
    switch (result) {
        case CostumeLoadResult::Loaded:
            return "loaded";
        case CostumeLoadResult::NotPresent:
            return "not-present";
        case CostumeLoadResult::Failed:
            break;
    }
    return "failed";
}

CostumeLoadResult LoadedCostume::Load(GameArchive& archive, uint32_t number) {
    Release();
    const CostumeLoadResult result = archive.LoadCostume(&block, number);
    if (result != CostumeLoadResult::Loaded) return result;
    std::unique_ptr<Costume> parsed;
    if (!TryAllocate([&] {
            parsed = std::make_unique<Costume>(ByteView{block.data(), block.size()});
        }) ||
        !parsed->Parse()) {
        return CostumeLoadResult::Failed;
    }
    costume = std::move(parsed);
    return CostumeLoadResult::Loaded;
}

CostumeLoadResult LoadedCostume::LoadOrSayWhyNot(GameArchive& archive, uint32_t number,
                                                 StatusText* whyNot) {
    *whyNot = StatusText{};
    const CostumeLoadResult result = Load(archive, number);
    if (result == CostumeLoadResult::NotPresent) *whyNot = NotPresentText(number);
    return result;
}

void LoadedCostume::Release() {
    costume.reset();
    std::vector<uint8_t>().swap(block);
}
