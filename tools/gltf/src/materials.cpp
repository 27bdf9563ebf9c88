// Host materials as glTF metallic-roughness materials: base colour from the
// diffuse colour, alpha from the opacity, a base colour texture from the
// diffuse map's file name (referred to, not copied), roughness from the
// shininess, double-sided where a two-sided face uses the material.
#include <algorithm>
#include <map>

#include "context.h"
#include "host/text.h"
#include "uri.h"

namespace gltf {

namespace {

const refhost::MaterialValue* property(const refhost::MaterialData& m, int32_t id) {
    for (const auto& [key, value] : m.properties) {
        if (key == id) return &value;
    }
    return nullptr;
}

double unitRange(Context& context, float v) {
    return std::clamp(static_cast<double>(context.finite(v, "material values that are not numbers, made 0")), 0.0, 1.0);
}

const refhost::MaterialValue* diffuseMap(const refhost::MaterialData& m) {
    const refhost::MaterialValue* map = property(m, MaterialDiffuseMap);
    return map && !relativeUri(map->text).empty() ? map : nullptr;
}

}  // namespace

std::vector<bool> texturedMaterials(const refhost::Scene& scene) {
    std::vector<bool> textured;
    for (const refhost::MaterialData* m : scene.materials()) textured.push_back(diffuseMap(*m) != nullptr);
    return textured;
}

Json exportMaterials(Context& context, Json& textures, Json& images) {
    Json materials = Json::array();
    std::map<std::string, int> textureByUri;
    const auto& all = context.scene.materials();
    for (std::size_t i = 0; i < all.size(); ++i) {
        const refhost::MaterialData& m = *all[i];
        Json pbr = Json::object();
        double colour[4] = {1, 1, 1, 1};
        if (const auto* diffuse = property(m, MaterialDiffuse)) {
            colour[0] = unitRange(context, diffuse->colour.x);
            colour[1] = unitRange(context, diffuse->colour.y);
            colour[2] = unitRange(context, diffuse->colour.z);
        }
        if (const auto* opacity = property(m, MaterialOpacity)) colour[3] = unitRange(context, opacity->number);
        pbr["baseColorFactor"] = {colour[0], colour[1], colour[2], colour[3]};
        if (const auto* map = diffuseMap(m)) {
            const std::string uri = relativeUri(map->text);
            auto [it, added] = textureByUri.try_emplace(uri, static_cast<int>(textures.size()));
            if (added) {
                images.push_back({{"uri", uri}});
                textures.push_back({{"source", static_cast<int>(images.size()) - 1}});
            }
            pbr["baseColorTexture"] = {{"index", it->second}};
        }
        pbr["metallicFactor"] = 0.0;
        const auto* shine = property(m, MaterialShine);
        pbr["roughnessFactor"] = shine ? 1 - unitRange(context, shine->number) : 1.0;

        Json material = Json::object();
        if (m.name) material["name"] = refhost::utf8Text(*m.name);
        material["pbrMetallicRoughness"] = std::move(pbr);
        if (colour[3] < 1) material["alphaMode"] = "BLEND";
        if (context.twoSided[i]) material["doubleSided"] = true;
        materials.push_back(std::move(material));
        ++context.counts.materials;
    }
    return materials;
}

}  // namespace gltf
