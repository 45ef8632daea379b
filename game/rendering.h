// The 3D scene: GL set-up, lights and cameras, the play frame with its
// interlude, mirror floor, planar shadows, maze and actors.
// TEMPORARY: only what start-up and the screens call; the scene work
// completes it.
#pragma once

extern int g_Width, g_Height;  // window size in pixels

void InitGraphics(void);
void reshape(int width, int height);
void display(void);          // the play screen's frame
void SetUpDisplay(void);     // lights, camera and clears: first step of every screen
void RenderObjects(void);    // the scene passes
void BuildShadowMatrices(void);  // floor plane and the six shadow matrices, once at start-up
