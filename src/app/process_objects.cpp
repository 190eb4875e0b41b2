#include "app/process_objects.h"

std::unique_ptr<CostumeViewer> g_viewer;

void ReleaseViewer() {
    if (!g_viewer) return;
    g_viewer->Reset();
    g_viewer.reset();
}
