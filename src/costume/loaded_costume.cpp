#include "costume/loaded_costume.h"

#include "common/allocation.h"

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

void LoadedCostume::Release() {
    costume.reset();
    std::vector<uint8_t>().swap(block);
}
