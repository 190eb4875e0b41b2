// Puts the current frame on the screen: rendered, doubled when zoomed, at the top-left
// corner, under the status line.
#include "viewer/costume_viewer.h"
#include "viewer/viewer_texts.h"

void CostumeViewer::Draw(Screen& screen) {
    if (!costumeLoaded || !frameLoaded) return;
    // Zoomed, only the top-left quarter of the screen's size can show.
    const ShownArea shown = zoom ? ShownArea{Screen::kWidth / 2, Screen::kHeight / 2} : ShownArea{};
    if (!loaded.costume->Render(&frameImage, 0, 0, shown)) {
        screen.Clear();
        screen.DrawText("Failed to draw frame.");
        return;
    }
    // Doubled when zoomed, straight onto the screen: one pass over the part of the frame
    // that shows, plus one block copy per pair of screen rows.
    screen.ShowImage(frameImage, zoom);
    const Costume& costume = *loaded.costume;
    screen.DrawText(
        FrameStatusText(costumeNumber, costume.currentFrame, costume.FrameCount()).text);
}
