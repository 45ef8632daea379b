// The choice of the scene's pixels: the renderer's name, the picture's size
// and --scene-scale.
#include <gtest/gtest.h>

#include "game/rendering.h"

namespace {

TEST(SceneScale, SoftwareRenderersByName) {
  for (const char *name : {"llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", "Software Rasterizer",
                           "Mesa X11 swrast", "LLVMPIPE"})
    EXPECT_EQ(IsSoftwareRenderer(name), name[0] != 'S') << name;  // "Software ..." names none
  for (const char *name : {"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)",
                           "Mesa Intel(R) UHD Graphics 620 (KBL GT2)",
                           "NVIDIA GeForce GTX 1060/PCIe/SSE2", "", "unknown renderer"})
    EXPECT_FALSE(IsSoftwareRenderer(name)) << name;
  EXPECT_FALSE(IsSoftwareRenderer(nullptr));
}

TEST(SceneScale, ReducedOnlyForLargePicturesOnSoftwareOrWhenAsked) {
  const char *soft = "llvmpipe (LLVM 15.0.6, 256 bits)", *hard = "AMD Radeon RX 6600";
  auto expect = [](SceneSize got, int width, int height, BOOL reduced) {
    EXPECT_EQ(got.width, width);
    EXPECT_EQ(got.height, height);
    EXPECT_EQ(got.reduced, reduced);
  };
  // Software, automatic: the 1200 x 600 picture and smaller ones stay whole,
  // larger ones get the 1200 x 600 scene.
  expect(SceneSizeFor(soft, 1200, 600, SCENE_SCALE_AUTO), 1200, 600, FALSE);
  expect(SceneSizeFor(soft, 800, 400, SCENE_SCALE_AUTO), 800, 400, FALSE);
  expect(SceneSizeFor(soft, 1202, 601, SCENE_SCALE_AUTO), 1200, 600, TRUE);
  expect(SceneSizeFor(soft, 2400, 1200, SCENE_SCALE_AUTO), 1200, 600, TRUE);
  expect(SceneSizeFor(soft, 3840, 1920, SCENE_SCALE_AUTO), 1200, 600, TRUE);
  // A hardware renderer, or no name yet, draws every size whole.
  expect(SceneSizeFor(hard, 2400, 1200, SCENE_SCALE_AUTO), 2400, 1200, FALSE);
  expect(SceneSizeFor(nullptr, 2400, 1200, SCENE_SCALE_AUTO), 2400, 1200, FALSE);
  // The option overrides the renderer both ways, never below the picture.
  expect(SceneSizeFor(soft, 2400, 1200, SCENE_SCALE_FULL), 2400, 1200, FALSE);
  expect(SceneSizeFor(hard, 2400, 1200, SCENE_SCALE_REDUCED), 1200, 600, TRUE);
  expect(SceneSizeFor(hard, 1200, 600, SCENE_SCALE_REDUCED), 1200, 600, FALSE);
  expect(SceneSizeFor(soft, 2, 1, SCENE_SCALE_REDUCED), 2, 1, FALSE);
}

}  // namespace
