// contentgen BASE_MANIFEST OUTDIR: writes the demo's procedural textures,
// the meshes of its two scenes and the merged manifest into OUTDIR.
#include "Manifest.h"
#include "Scenes.h"
#include "Textures.h"

#include <cstdio>
#include <exception>
#include <filesystem>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: contentgen BASE_MANIFEST OUTDIR\n");
        return 2;
    }
    try {
        std::string const out = argv[2];
        // Meshes of materials that are gone would linger otherwise.
        std::filesystem::remove_all(out + "/Meshes");
        std::filesystem::create_directories(out + "/Textures");
        std::filesystem::create_directories(out + "/Meshes");
        contentgen::Textures::WriteAll(out + "/Textures");
        contentgen::Scenes::Scene const first = contentgen::Scenes::FirstWorld();
        contentgen::Scenes::Scene const second = contentgen::Scenes::SecondWorld();
        contentgen::Manifest::Write(argv[1], out, first, second);
        for (auto const* scene : {&first, &second}) {
            std::size_t triangles = 0;
            for (auto const& entry : scene->meshes)
                triangles += entry.second.TriangleCount();
            std::printf("contentgen: %s: %zu triangles, %d pieces left out for the flights\n",
                        scene->name.c_str(), triangles, scene->carved);
        }
    } catch (std::exception const& e) {
        std::fprintf(stderr, "contentgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
