// The interface image catalogue: the image globals, their size tables and
// ReadImageFiles, which fills them once at start-up. No GL here.
#include "common/drawing.h"
#include "common/texture.h"

int imageWidth[kImageCount];
int imageHeight[kImageCount];

unsigned int *sliderFront, *sliderBack, *title, *titleBar, *startGame, *viewSettings;
unsigned int *BCatOff, *BCatOn, *BFirstPerson, *BLoad, *BQuit, *BRestart;
unsigned int *BSpotlightsOff, *BSpotlightsOn, *BTexturesOff, *BTexturesOn, *BThirdPerson;
unsigned int *ControlPanelTitle;
unsigned int *LBonus, *LCat, *LCatSpeed, *LLighting, *LLives, *LMouseSpeed;
unsigned int *LNumCheese, *LTextures, *LView;
unsigned int *SBonus, *SCatSpeed, *SLives, *SMouseSpeed, *SCheese;
unsigned int *LSound, *BSoundOn, *BSoundOff, *LVolume, *SVolume, *BReturnToGame;
unsigned int *LShadows, *BShadowsOff, *BOneShadow, *BTwoShadows, *BAllShadows;
unsigned int *LReflections, *BReflectionsOff, *BReflectionsOn;
unsigned int *EditTitle, *EditHelp;
unsigned int *ControlsLegend;

// Reading order matters: a missing file stops start-up at its place here.
// "EditorTitle.RGB" really has an upper-case extension.
const ImageEntry imageCatalogue[kCatalogueSize] = {
    {&sliderFront, "images/SlidePull.rgb", kImageSliderFront},
    {&sliderBack, "images/SliderBack.rgb", kImageSliderBack},
    {&title, "images/Title.rgb", kImageTitle},
    {&titleBar, "images/TitleBar1050.rgb", kImageTitleBar},
    {&startGame, "images/StartGame.rgb", kImageStartGame},
    {&viewSettings, "images/ViewSettings.rgb", kImageViewSettings},
    {&BCatOff, "images/BCatOff.rgb", kImageBCatOff},
    {&BCatOn, "images/BCatOn.rgb", kImageBCatOn},
    {&BFirstPerson, "images/BFirstPerson.rgb", kImageBFirstPerson},
    {&BLoad, "images/BLoad.rgb", kImageBLoad},
    {&BQuit, "images/BQuit.rgb", kImageBQuit},
    {&BRestart, "images/BRestart.rgb", kImageBRestart},
    {&BSpotlightsOff, "images/BSpotlightsOff.rgb", kImageBSpotlightsOff},
    {&BSpotlightsOn, "images/BSpotlightsOn.rgb", kImageBSpotlightsOn},
    {&BTexturesOff, "images/BTexturesOff.rgb", kImageBTexturesOff},
    {&BTexturesOn, "images/BTexturesOn.rgb", kImageBTexturesOn},
    {&BThirdPerson, "images/BThirdPerson.rgb", kImageBThirdPerson},
    {&ControlPanelTitle, "images/ControlPanelTitle2.rgb", kImageControlPanelTitle},
    {&LBonus, "images/LBonus.rgb", kImageLBonus},
    {&LCat, "images/LCat.rgb", kImageLCat},
    {&LCatSpeed, "images/LCatSpeed.rgb", kImageLCatSpeed},
    {&LLighting, "images/LLighting.rgb", kImageLLighting},
    {&LLives, "images/LLives.rgb", kImageLLives},
    {&LMouseSpeed, "images/LMouseSpeed.rgb", kImageLMouseSpeed},
    {&LNumCheese, "images/LNumCheese.rgb", kImageLNumCheese},
    {&LTextures, "images/LTextures.rgb", kImageLTextures},
    {&LView, "images/LView.rgb", kImageLView},
    {&SBonus, "images/SBonus.rgb", kImageSBonus},
    {&SCatSpeed, "images/SCatSpeed.rgb", kImageSCatSpeed},
    {&SLives, "images/SLives.rgb", kImageSLives},
    {&SMouseSpeed, "images/SMouseSpeed.rgb", kImageSMouseSpeed},
    {&SCheese, "images/SCheese.rgb", kImageSCheese},
    {&LSound, "images/LSound.rgb", kImageLSound},
    {&BSoundOn, "images/BSoundOn.rgb", kImageBSoundOn},
    {&BSoundOff, "images/BSoundOff.rgb", kImageBSoundOff},
    {&LVolume, "images/LVolume.rgb", kImageLVolume},
    {&SVolume, "images/SVolume.rgb", kImageSVolume},
    {&BReturnToGame, "images/BReturnToGame.rgb", kImageBReturnToGame},
    {&LShadows, "images/LShadows.rgb", kImageLShadows},
    {&BShadowsOff, "images/BShadowsOff.rgb", kImageBShadowsOff},
    {&BOneShadow, "images/BOneShadow.rgb", kImageBOneShadow},
    {&BTwoShadows, "images/BTwoShadows.rgb", kImageBTwoShadows},
    {&BAllShadows, "images/BAllShadows.rgb", kImageBAllShadows},
    {&LReflections, "images/LReflections.rgb", kImageLReflections},
    {&BReflectionsOff, "images/BReflectionsOff.rgb", kImageBReflectionsOff},
    {&BReflectionsOn, "images/BReflectionsOn.rgb", kImageBReflectionsOn},
    {&EditTitle, "images/EditorTitle.RGB", kImageEditTitle},
    {&EditHelp, "images/EditorHelp.rgb", kImageEditHelp},
    {&ControlsLegend, "images/ControlsLegend.rgb", kImageControlsLegend},
};

void ReadImageFiles(void) {
  for (const ImageEntry &entry : imageCatalogue) {
    int components = 0;  // not needed: read_texture always gives RGBA
    *entry.pixels =
        read_texture(entry.file, &imageWidth[entry.index], &imageHeight[entry.index], &components);
  }
}
