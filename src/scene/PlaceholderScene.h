#pragma once

namespace NSScene {

class Scene;

// Fills an empty scene with a few selectable test objects, a light and a
// camera pose that shows them, so that the game shows something before the
// levels take over the scene.
void buildPlaceholderScene(Scene& scene);

} // namespace NSScene
