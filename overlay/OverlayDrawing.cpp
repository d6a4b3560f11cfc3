#include "overlay/OverlayDrawing.h"

#include "gpu/Texture.h"
#include "overlay/ControlPanel.h"
#include "platform/gl/GlExtensions.h"
#include "platform/Input.h"
#include "renderer/TextureUnitTable.h"

namespace Orvanta {

namespace {

void beginOverlay(int clientWidth, int clientHeight)
{
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT | GL_TRANSFORM_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, clientWidth - 1.0, clientHeight - 1.0, 0.0, 0.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void endOverlay()
{
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

// Corners in counter-clockwise order on screen (y grows downward), so the quads face the viewer
// with back-face culling on.
void emitQuad(const OverlayItem& item, bool textured)
{
    const float corners[4][2] = {{item.x0, item.y0}, {item.x0, item.y1}, {item.x1, item.y1}, {item.x1, item.y0}};
    const float coords[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    for (int i = 0; i < 4; ++i) {
        if (textured)
            glTexCoord2f(coords[i][0], coords[i][1]);
        glVertex2f(corners[i][0], corners[i][1]);
    }
}

void drawItem(const OverlayItem& item, TextureUnitTable& units)
{
    glColor4fv(item.color);
    switch (item.kind) {
    case OverlayItem::FilledQuad:
        glBegin(GL_QUADS);
        emitQuad(item, false);
        glEnd();
        break;
    case OverlayItem::Outline:
        glBegin(GL_LINE_LOOP);
        emitQuad(item, false);
        glEnd();
        break;
    case OverlayItem::TexturedQuad:
        if (!item.texture || !units.bind(0, item.texture))
            break;
        glBegin(GL_QUADS);
        emitQuad(item, true);
        glEnd();
        units.unbindAll();
        break;
    }
}

}  // namespace

void drawOverlayItems(const std::vector<OverlayItem>& items, const OverlayTarget& target)
{
    beginOverlay(target.width, target.height);
    for (const OverlayItem& item : items)
        drawItem(item, *target.textureUnits);
    endOverlay();
}

void ControlPanel::drawOverlay(const OverlayTarget& target)
{
    const uint32_t now = platformInput().ticks();
    if (!mouse.uiMode) {
        drawOverlayItems(lookModeItems(*this), target);
    } else {
        std::string counterText = countFrame(frameCounter, now);
        drawOverlayItems(uiModeItems(*this, counterText), target);
    }
    // Unsigned difference: right across a wrap of the tick counter too.
    noticeShown = noticeShown && now - noticeTick < kScreenshotNoticeMilliseconds;
    if (noticeShown)
        drawOverlayItems(noticeItems(*this, target.height), target);
}

void showScreenshotNotice(ControlPanel& panel)
{
    panel.noticeShown = true;
    panel.noticeTick = platformInput().ticks();
}

}  // namespace Orvanta
