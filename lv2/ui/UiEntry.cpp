// The UI's entry: ui:X11UI embedded in the host's ui:parent window, driven
// by ui:idleInterface, sized through ui:resize where the host offers it and
// scaled by its ui:scaleFactor option. Nothing throws back into the host.
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstring>
#include <memory>

#include "editor/Editor.h"
#include "lv2/Uris.h"
#include "lv2/ui/UiHost.h"
#include "toolkit/CFrame.h"
#include "toolkit/PlatformWindow.h"
#include "toolkit/X11Window.h"

namespace {

// The host keeps the window it is handed for the UI's whole life (hosts
// that wrap it, as suil does, track only that one), so the panel lives in a
// window of the UI's own inside the parent and may be made again inside it
// at another size.
struct Ui {
  std::unique_ptr<toolkit::X11Container> container;
  std::unique_ptr<lv2ui::UiHost> host;
  std::unique_ptr<Editor> panel;
};

const void* feature(const LV2_Feature* const* features, const char* uri) {
  for (; features && *features; ++features)
    if (std::strcmp((*features)->URI, uri) == 0) return (*features)->data;
  return nullptr;
}

// The host's ui:scaleFactor among its options, else 0.
float scaleFactor(const LV2_Options_Option* options, LV2_URID_Map* map) {
  if (!options) return 0.0f;
  const LV2_URID key = map->map(map->handle, LV2_UI__scaleFactor);
  const LV2_URID floatType = map->map(map->handle, LV2_ATOM__Float);
  for (; options->key; ++options)
    if (options->key == key && options->type == floatType && options->size == sizeof(float) && options->value)
      return *static_cast<const float*>(options->value);
  return 0.0f;
}

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
  if (!pluginUri || std::strcmp(pluginUri, lv2plugin::kPluginUri) != 0) return nullptr;
  auto* map = static_cast<LV2_URID_Map*>(const_cast<void*>(feature(features, LV2_URID__map)));
  void* parent = const_cast<void*>(feature(features, LV2_UI__parent));
  if (!map || !parent) return nullptr;  // both are required in the UI's Turtle
  try {
    lv2ui::HostFeatures host;
    host.write = write;
    host.controller = controller;
    host.touch = static_cast<const LV2UI_Touch*>(feature(features, LV2_UI__touch));
    host.resize = static_cast<const LV2UI_Resize*>(feature(features, LV2_UI__resize));
    auto ui = std::make_unique<Ui>();
    ui->host = std::make_unique<lv2ui::UiHost>(map, host);
    ui->panel = std::make_unique<Editor>(ui->host.get());
    ui->host->attach(ui->panel.get());
    const auto* options = static_cast<const LV2_Options_Option*>(feature(features, LV2_OPTIONS__options));
    const float factor = scaleFactor(options, map);
    if (factor > 0.0f) ui->panel->setContentScale(factor);
    editor::PanelRect* rect = nullptr;
    if (!ui->panel->getRect(&rect) || !rect) return nullptr;
    ui->container = std::make_unique<toolkit::X11Container>(reinterpret_cast<unsigned long>(parent), rect->right,
                                                            rect->bottom);
    if (!ui->container->isValid()) return nullptr;
    ui->host->setContainer(ui->container.get());
    if (!ui->panel->open(reinterpret_cast<void*>(ui->container->nativeHandle()))) return nullptr;
    ui->panel->getRect(&rect);
    if (host.resize && rect) host.resize->ui_resize(host.resize->handle, rect->right, rect->bottom);
    if (widget) *widget = reinterpret_cast<LV2UI_Widget>(ui->container->nativeHandle());
    ui->host->requestState();
    return ui.release();
  } catch (...) {
    return nullptr;
  }
}

void cleanup(LV2UI_Handle handle) {
  auto* ui = static_cast<Ui*>(handle);
  if (!ui) return;
  ui->panel->close();
  ui->panel.reset();
  ui->container.reset();
  delete ui;
}

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
  try {
    static_cast<Ui*>(handle)->host->portEvent(port, size, format, buffer);
  } catch (...) {
    // A message that could not be kept (no memory) is dropped.
  }
}

// Nonzero once the window is gone: the host then closes the UI.
int idle(LV2UI_Handle handle) {
  auto* ui = static_cast<Ui*>(handle);
  try {
    ui->panel->idle();
  } catch (...) {
  }
  toolkit::CFrame* frame = ui->panel->getFrame();
  return frame && frame->isOpen() ? 0 : 1;
}

const LV2UI_Idle_Interface kIdle = {idle};

const void* extensionData(const char* uri) {
  if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdle;
  return nullptr;
}

const LV2UI_Descriptor kDescriptor = {lv2plugin::kUiUri, instantiate, cleanup, portEvent, extensionData};

}  // namespace

extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
