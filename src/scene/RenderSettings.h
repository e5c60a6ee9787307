#pragma once
// The view's technical switches: frustum culling, the transparent pass,
// display lists, vertex arrays and the texture filters. Each setter
// confirms the change with a message across the window.
#include <GL/gl.h>

namespace NSScene {

class RenderSettings {
public:
    void setCulling(bool on);
    bool isCulling() const { return culling; }
    void setTransparency(bool on);
    bool isTransparency() const { return transparency; }
    void setDisplayLists(bool on);
    bool isDisplayLists() const { return displayLists; }
    // Switches the client arrays the models' vertex-array path expects.
    void setVertexArrays(bool on);
    bool isVertexArrays() const { return vertexArrays; }
    // Both pick the texture filters from the quality (0, 1) and mipmap mode
    // (0 to 2); combinations outside those change nothing.
    void setTextureQuality(int quality);
    int getTextureQuality() const { return textureQuality; }
    void setMipmapMode(int mode);
    int getMipmapMode() const { return mipmapMode; }
    int getMagFilter() const { return magFilter; }
    int getMinFilter() const { return minFilter; }

private:
    void applyFilterTable();

    bool culling = true;
    bool transparency = true;
    bool displayLists = false;
    bool vertexArrays = false;
    int magFilter = GL_LINEAR;
    int minFilter = GL_LINEAR;
    int mipmapMode = 0;
    int textureQuality = 1;
};

} // namespace NSScene
