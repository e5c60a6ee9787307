#include "scene/RenderSettings.h"

#include "scene/SceneSupport.h"

namespace NSScene {

void RenderSettings::setCulling(bool on) {
    culling = on;
    popUp(on ? "Culling enabled" : "Culling disabled");
}

void RenderSettings::setTransparency(bool on) {
    transparency = on;
    popUp(on ? "Transparency on" : "Transparency off");
}

void RenderSettings::setDisplayLists(bool on) {
    displayLists = on;
    popUp(on ? "Display List on" : "Display List off");
}

void RenderSettings::setVertexArrays(bool on) {
    vertexArrays = on;
    popUp(on ? "Render Mode: Vertex Array" : "Render Mode: Immediate Mode");
    // The models' vertex-array path expects both arrays switched on.
    if (on) {
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
    } else {
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
    }
}

void RenderSettings::setTextureQuality(int quality) {
    textureQuality = quality;
    applyFilterTable();
}

void RenderSettings::setMipmapMode(int mode) {
    mipmapMode = mode;
    applyFilterTable();
}

void RenderSettings::applyFilterTable() {
    struct FilterRow {
        int mipmapMode;
        int quality;
        int mag;
        int min;
        const char* message;
    };
    static const FilterRow rows[] = {
        {0, 0, GL_NEAREST, GL_NEAREST, "Texture Quality GL_NEAREST"},
        {0, 1, GL_LINEAR, GL_LINEAR, "Texture Quality GL_LINEAR"},
        {1, 0, GL_NEAREST, GL_NEAREST_MIPMAP_NEAREST, "Texture Quality GL_NEAREST_MIPMAP_NEAREST"},
        {1, 1, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, "Texture Quality GL_LINEAR_MIPMAP_NEAREST"},
        {2, 0, GL_NEAREST, GL_NEAREST_MIPMAP_LINEAR, "Texture Quality GL_NEAREST_MIPMAP_LINEAR"},
        {2, 1, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR, "Texture Quality GL_LINEAR_MIPMAP_LINEAR"},
    };
    for (const FilterRow& row : rows) {
        if (row.mipmapMode == mipmapMode && row.quality == textureQuality) {
            magFilter = row.mag;
            minFilter = row.min;
            popUp(row.message);
            return;
        }
    }
}

} // namespace NSScene
