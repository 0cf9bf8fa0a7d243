// The LV2 UI as a host loads it: tavrel_ui.so from the bundle, instantiated
// in a parent window of a private Xvfb with urid:map, ui:resize and ui:touch.
// It opens at the panel's size inside the parent, a dragged knob reaches its
// port inside a touch bracket, a port event moves the view, the program
// rocker sends the DSP a selectProgram message, and cleanup leaves no window.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/options/options.h>
#include <lv2/patch/patch.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <chrono>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "lv2/Uris.h"
#include "params/ParameterTable.h"
#include "platform/SettingsStore.h"
#include "support/Lv2Host.h"
#include "support/ToolkitRig.h"
#include "support/ToolkitXvfb.h"

// Last: Xlib's macros clash with names in the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <cairo/cairo.h>

namespace {

// What the UI did to the host, in order.
struct HostRecord {
  enum Kind { Write, Touch, Resize };
  explicit HostRecord(Kind k) : kind(k) {}
  Kind kind;
  uint32_t port = 0;
  float value = 0.0f;           // a float write; a touch's grab as 1 or 0
  std::vector<uint8_t> atom;    // an event transfer's atom
  int width = 0, height = 0;
};

struct TestHost {
  std::map<std::string, LV2_URID> ids;
  std::vector<HostRecord> log;

  LV2_URID id(const char* uri) {
    auto [it, added] = ids.emplace(uri, static_cast<LV2_URID>(ids.size() + 1));
    return it->second;
  }
  // The patch:Set messages sent to the control port: property URI and value atom bytes.
  std::vector<std::pair<std::string, std::vector<uint8_t>>> messages(LV2_URID otype) {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> out;
    for (const HostRecord& r : log) {
      if (r.kind != HostRecord::Write || r.atom.empty()) continue;
      const auto* object = reinterpret_cast<const LV2_Atom_Object*>(r.atom.data());
      if (object->body.otype != otype) continue;
      const LV2_Atom* property = nullptr;
      const LV2_Atom* value = nullptr;
      lv2_atom_object_get(object, id(LV2_PATCH__property), &property, id(LV2_PATCH__value), &value, 0);
      std::string name;
      for (const auto& [uri, urid] : ids)
        if (property && urid == reinterpret_cast<const LV2_Atom_URID*>(property)->body) name = uri;
      std::vector<uint8_t> bytes;
      const auto* begin = reinterpret_cast<const uint8_t*>(value);
      if (value) bytes.assign(begin, begin + lv2_atom_total_size(value));
      out.emplace_back(name, bytes);
    }
    return out;
  }
};

LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) { return static_cast<TestHost*>(handle)->id(uri); }

void writePort(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
  auto* host = static_cast<TestHost*>(controller);
  HostRecord r{HostRecord::Write};
  r.port = port;
  if (format == 0 && size == sizeof(float)) std::memcpy(&r.value, buffer, sizeof(float));
  else if (format == host->id(LV2_ATOM__eventTransfer))
    r.atom.assign(static_cast<const uint8_t*>(buffer), static_cast<const uint8_t*>(buffer) + size);
  host->log.push_back(r);
}

void touchPort(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed) {
  HostRecord r{HostRecord::Touch};
  r.port = port;
  r.value = grabbed ? 1.0f : 0.0f;
  static_cast<TestHost*>(handle)->log.push_back(r);
}

int resizeUi(LV2UI_Feature_Handle handle, int width, int height) {
  HostRecord r{HostRecord::Resize};
  r.width = width;
  r.height = height;
  static_cast<TestHost*>(handle)->log.push_back(r);
  return 0;
}

class X11Lv2Ui : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<toolkit_rig::Xvfb>();
    if (!server_->running()) GTEST_SKIP() << server_->error() << ": no X server for the window tests";
    display_ = XOpenDisplay(server_->name().c_str());
    ASSERT_NE(display_, nullptr);
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) GTEST_SKIP() << "no XTest extension";
    library_ = dlopen(TAVREL_LV2_BUNDLE "/tavrel_ui.so", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library_, nullptr) << dlerror();
    auto entry = reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(dlsym(library_, "lv2ui_descriptor"));
    ASSERT_NE(entry, nullptr);
    descriptor_ = entry(0);
    ASSERT_NE(descriptor_, nullptr);
    EXPECT_EQ(entry(1), nullptr);
    EXPECT_STREQ(descriptor_->URI, lv2plugin::kUiUri);
  }
  void TearDown() override {
    if (library_) dlclose(library_);
    if (display_) XCloseDisplay(display_);
    server_.reset();
  }

  Window makeParent() {
    const Window w = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 942, 171, 0, 0, 0);
    XMapWindow(display_, w);
    XSync(display_, False);
    return w;
  }
  LV2UI_Handle instantiate(Window parent, float scaleFactor = 0.0f) {
    map_ = {&host_, mapUri};
    scaleFactor_ = scaleFactor;
    const LV2_Options_Option options[] = {
        {LV2_OPTIONS_INSTANCE, 0, host_.id(LV2_UI__scaleFactor), sizeof(float), host_.id(LV2_ATOM__Float),
         &scaleFactor_},
        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
    const LV2_Feature optionsFeature{LV2_OPTIONS__options, const_cast<LV2_Options_Option*>(options)};
    touch_ = {&host_, touchPort};
    resize_ = {&host_, resizeUi};
    const LV2_Feature mapFeature{LV2_URID__map, &map_};
    const LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(parent)};
    const LV2_Feature touchFeature{LV2_UI__touch, &touch_};
    const LV2_Feature resizeFeature{LV2_UI__resize, &resize_};
    const LV2_Feature* features[] = {&mapFeature, &parentFeature, &touchFeature, &resizeFeature,
                                     scaleFactor > 0.0f ? &optionsFeature : nullptr, nullptr};
    LV2UI_Widget widget = nullptr;
    LV2UI_Handle ui = descriptor_->instantiate(descriptor_, lv2plugin::kPluginUri, TAVREL_LV2_BUNDLE, writePort,
                                               &host_, &widget, features);
    widget_ = reinterpret_cast<Window>(widget);
    return ui;
  }
  int idle(LV2UI_Handle ui, int times) {
    auto* interface = static_cast<const LV2UI_Idle_Interface*>(descriptor_->extension_data(LV2_UI__idleInterface));
    int closed = -1;
    for (int i = 0; i < times; ++i) {
      XSync(display_, False);
      closed = interface->idle(ui);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return closed;
  }
  void portEvent(LV2UI_Handle ui, int index, float value) {
    descriptor_->port_event(ui, lv2plugin::parameterPort(index), sizeof(float), 0, &value);
  }
  // A patch:Set of one of the DSP's string properties on the notify port.
  void notify(LV2UI_Handle ui, const char* property, const std::string& text) {
    alignas(8) uint8_t buffer[4096];
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, &map_);
    lv2_atom_forge_set_buffer(&forge, buffer, sizeof buffer);
    LV2_Atom_Forge_Frame frame;
    lv2_atom_forge_object(&forge, &frame, 0, host_.id(LV2_PATCH__Set));
    lv2_atom_forge_key(&forge, host_.id(LV2_PATCH__property));
    lv2_atom_forge_urid(&forge, host_.id((std::string(lv2plugin::kPrefix) + property).c_str()));
    lv2_atom_forge_key(&forge, host_.id(LV2_PATCH__value));
    lv2_atom_forge_string(&forge, text.c_str(), static_cast<uint32_t>(text.size()));
    lv2_atom_forge_pop(&forge, &frame);
    const auto* atom = reinterpret_cast<const LV2_Atom*>(buffer);
    descriptor_->port_event(ui, lv2plugin::kNotify, lv2_atom_total_size(atom), host_.id(LV2_ATOM__eventTransfer), atom);
  }
  std::vector<Window> children(Window parent) {
    Window root = 0, up = 0, *list = nullptr;
    unsigned int n = 0;
    std::vector<Window> out;
    if (XQueryTree(display_, parent, &root, &up, &list, &n)) {
      out.assign(list, list + n);
      if (list) XFree(list);
    }
    return out;
  }
  // The window's pixels in a rectangle, as 0xRRGGBB.
  std::vector<uint32_t> pixels(Window w, int x, int y, int width, int height) {
    XSync(display_, False);
    XImage* image = XGetImage(display_, w, x, y, width, height, AllPlanes, ZPixmap);
    std::vector<uint32_t> out;
    if (!image) return out;
    for (int j = 0; j < height; ++j)
      for (int i = 0; i < width; ++i) out.push_back(XGetPixel(image, i, j) & 0xffffff);
    XDestroyImage(image);
    return out;
  }
  void screenshot(Window w, const char* name) {
    const std::vector<uint32_t> p = pixels(w, 0, 0, 942, 171);
    if (p.empty()) return;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 942, 171);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < 171; ++y)
      std::memcpy(cairo_image_surface_get_data(s) + y * stride, &p[static_cast<size_t>(y) * 942], 942 * 4);
    cairo_surface_mark_dirty(s);
    cairo_surface_write_to_png(s, toolkit_rig::outputPath(name).c_str());
    cairo_surface_destroy(s);
  }
  void drag(LV2UI_Handle ui, int x, int fromY, int toY) {
    XTestFakeMotionEvent(display_, DefaultScreen(display_), x, fromY, CurrentTime);
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    idle(ui, 5);
    for (int y = fromY + 2; y <= toY; y += 2) {
      XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
      idle(ui, 1);
    }
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    idle(ui, 10);
  }

  std::unique_ptr<toolkit_rig::Xvfb> server_;
  Display* display_ = nullptr;
  void* library_ = nullptr;
  const LV2UI_Descriptor* descriptor_ = nullptr;
  TestHost host_;
  LV2_URID_Map map_{};
  LV2UI_Touch touch_{};
  LV2UI_Resize resize_{};
  Window widget_ = 0;
  float scaleFactor_ = 0.0f;
};

TEST_F(X11Lv2Ui, OpensInTheParentAndTalksToTheHostThroughPortsAndMessages) {
  const Window parent = makeParent();
  LV2UI_Handle ui = instantiate(parent);
  ASSERT_NE(ui, nullptr);
  EXPECT_EQ(idle(ui, 5), 0) << "the idle interface says the window is gone";

  // Opened at 100 % inside the parent, the host asked for that size, and
  // the DSP asked for everything it tells the UI.
  const std::vector<Window> inside = children(parent);
  ASSERT_EQ(inside.size(), 1u);
  EXPECT_EQ(inside[0], widget_);
  XWindowAttributes attributes{};
  XGetWindowAttributes(display_, widget_, &attributes);
  EXPECT_EQ(attributes.width, 942);
  EXPECT_EQ(attributes.height, 171);
  int resizes = 0;
  for (const HostRecord& r : host_.log) {
    if (r.kind != HostRecord::Resize) continue;
    ++resizes;
    EXPECT_EQ(r.width, 942);
    EXPECT_EQ(r.height, 171);
  }
  EXPECT_EQ(resizes, 1);
  EXPECT_EQ(host_.messages(host_.id(LV2_PATCH__Get)).size(), 1u);

  // A port event moves CUTOFF's knob (centre 695, 46) on the screen.
  portEvent(ui, params::Cutoff, 1.0f);
  idle(ui, 5);
  const std::vector<uint32_t> open = pixels(parent, 675, 26, 40, 40);
  portEvent(ui, params::Cutoff, 0.6f);
  idle(ui, 5);
  EXPECT_NE(pixels(parent, 675, 26, 40, 40), open);

  // Dragged 40 pixels down from where the port event put it: the port
  // goes from 0.6 towards 0.4, every write inside one touch bracket.
  host_.log.clear();
  drag(ui, 695, 46, 86);
  const uint32_t cutoff = lv2plugin::parameterPort(params::Cutoff);
  int stage = 0, writes = 0;  // 0 before, 1 inside, 2 after the bracket
  float last = -1.0f;
  for (const HostRecord& r : host_.log) {
    if (r.kind == HostRecord::Touch) {
      EXPECT_EQ(r.port, cutoff);
      EXPECT_EQ(r.value, stage == 0 ? 1.0f : 0.0f);
      ++stage;
    } else if (r.kind == HostRecord::Write && r.atom.empty()) {
      EXPECT_EQ(r.port, cutoff);
      EXPECT_EQ(stage, 1) << "a port written outside the bracket";
      last = r.value;
      ++writes;
    }
  }
  EXPECT_EQ(stage, 2);
  EXPECT_GT(writes, 1);
  EXPECT_NEAR(last, 0.4f, 0.011f);
  screenshot(parent, "lv2_ui_x11_opened.png");

  // The rocker's right half: the next program, asked of the DSP. Before
  // the DSP has sent the names the bar's rename after it is held back (it
  // would give the program an empty name); after, it keeps the DSP's name.
  for (int step = 1; step <= 2; ++step) {
    host_.log.clear();
    XTestFakeMotionEvent(display_, DefaultScreen(display_), 366, 166, CurrentTime);
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    idle(ui, 10);
    const auto sets = host_.messages(host_.id(LV2_PATCH__Set));
    ASSERT_EQ(sets.size(), step == 1 ? 1u : 2u);
    EXPECT_EQ(sets[0].first, std::string(lv2plugin::kPrefix) + "selectProgram");
    const auto* value = reinterpret_cast<const LV2_Atom_Int*>(sets[0].second.data());
    EXPECT_EQ(value->atom.type, host_.id(LV2_ATOM__Int));
    EXPECT_EQ(value->body, step);
    if (step == 2) {
      EXPECT_EQ(sets[1].first, std::string(lv2plugin::kPrefix) + "renameProgram");
      EXPECT_STREQ(reinterpret_cast<const char*>(sets[1].second.data() + sizeof(LV2_Atom)), "Name 2");
    }
    for (const HostRecord& r : host_.log) EXPECT_EQ(r.port, lv2plugin::kControl) << "the rocker wrote a port";
    std::string names;
    for (int i = 0; i < 61; ++i) names += "Name " + std::to_string(i) + "\n";
    notify(ui, "programNames", names);
  }
  descriptor_->cleanup(ui);
  EXPECT_TRUE(children(parent).empty());
}

// The host's scale factor sizes the panel (the nearest of 100, 150 and
// 200 %) and the host hears that size; a parent destroyed under the UI ends
// it through the idle interface, and cleanup after that is safe.
TEST_F(X11Lv2Ui, TheHostsScaleFactorSizesThePanelAndALostParentEndsIt) {
  const Window parent = makeParent();
  LV2UI_Handle ui = instantiate(parent, 1.9f);
  ASSERT_NE(ui, nullptr);
  EXPECT_EQ(idle(ui, 2), 0);
  XWindowAttributes attributes{};
  XGetWindowAttributes(display_, widget_, &attributes);
  EXPECT_EQ(attributes.width, 1884);
  EXPECT_EQ(attributes.height, 342);
  ASSERT_FALSE(host_.log.empty());
  bool asked = false;
  for (const HostRecord& r : host_.log) asked |= r.kind == HostRecord::Resize && r.width == 1884 && r.height == 342;
  EXPECT_TRUE(asked);

  XDestroyWindow(display_, parent);
  XSync(display_, False);
  EXPECT_NE(idle(ui, 5), 0) << "the idle interface did not see the window go";
  descriptor_->cleanup(ui);
}

// Hosts that wrap the UI's window (suil: Ardour, jalv) keep the window
// they were handed for the UI's whole life: another size picked from the
// panel's menu resizes that window and rebuilds the panel inside it.
TEST_F(X11Lv2Ui, AnotherSizeFromTheMenuKeepsTheWindowTheHostHolds) {
  const Window parent = makeParent();
  LV2UI_Handle ui = instantiate(parent);
  ASSERT_NE(ui, nullptr);
  const Window held = widget_;
  EXPECT_EQ(idle(ui, 2), 0);
  // The size menu opens on a right-click where no control answers; two
  // steps down from "100 %" is "200 %".
  XTestFakeMotionEvent(display_, DefaultScreen(display_), 5, 160, CurrentTime);
  XTestFakeButtonEvent(display_, 3, True, CurrentTime);
  XTestFakeButtonEvent(display_, 3, False, CurrentTime);
  idle(ui, 3);
  for (KeySym key : {XK_Down, XK_Down, XK_Return}) {
    const KeyCode code = XKeysymToKeycode(display_, key);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    idle(ui, 2);
  }
  EXPECT_EQ(idle(ui, 5), 0) << "the UI closed itself";
  XWindowAttributes attributes{};
  ASSERT_TRUE(XGetWindowAttributes(display_, held, &attributes)) << "the window the host holds is gone";
  EXPECT_EQ(attributes.width, 1884);
  EXPECT_EQ(attributes.height, 342);
  Window root = 0, up = 0, *children = nullptr;
  unsigned count = 0;
  XQueryTree(display_, held, &root, &up, &children, &count);
  ASSERT_EQ(count, 1u) << "the panel is rebuilt inside the held window";
  XGetWindowAttributes(display_, children[0], &attributes);
  EXPECT_EQ(attributes.width, 1884);
  XFree(children);
  bool asked = false;
  for (const HostRecord& r : host_.log) asked |= r.kind == HostRecord::Resize && r.width == 1884 && r.height == 342;
  EXPECT_TRUE(asked);
  descriptor_->cleanup(ui);
  platform::SettingsStore::forUser().remove("UiScale");
}

// The UI and the DSP in one host loop, as a host runs them: the UI's port
// writes reach the DSP's ports and its messages the control input, the
// DSP's notify output and moved ports reach the UI. A program chosen on the
// bar is applied by the DSP, and the values it sends come back to the
// host's ports through the UI, so the ports and the DSP agree.
TEST_F(X11Lv2Ui, AProgramChosenOnTheBarReachesTheHostsPortsThroughTheDsp) {
  testing_support::Lv2World world;
  ASSERT_NE(world.plugin(), nullptr);
  const Window parent = makeParent();
  LV2UI_Handle ui = instantiate(parent);  // maps through host_, which the DSP shares
  ASSERT_NE(ui, nullptr);
  const LV2_Feature mapFeature{LV2_URID__map, &map_};
  const LV2_Feature* features[] = {&mapFeature, nullptr};
  LilvInstance* dsp = lilv_plugin_instantiate(world.plugin(), 44100.0, features);
  ASSERT_NE(dsp, nullptr);

  std::array<float, lv2plugin::kPortCount> ports{}, shown{};
  lilv_plugin_get_port_ranges_float(world.plugin(), nullptr, nullptr, ports.data());
  std::vector<float> silence(64, 0.0f), outL(64), outR(64);
  std::vector<uint64_t> control(1024), notify(1024);
  for (uint32_t p = lv2plugin::kFirstParameter; p < lv2plugin::kControl; ++p)
    lilv_instance_connect_port(dsp, p, &ports[p]);
  for (uint32_t p : {lv2plugin::kMeterL, lv2plugin::kMeterR}) lilv_instance_connect_port(dsp, p, &ports[p]);
  for (uint32_t p : {lv2plugin::kInputL, lv2plugin::kInputR}) lilv_instance_connect_port(dsp, p, silence.data());
  lilv_instance_connect_port(dsp, lv2plugin::kOutputL, outL.data());
  lilv_instance_connect_port(dsp, lv2plugin::kOutputR, outR.data());
  lilv_instance_connect_port(dsp, lv2plugin::kControl, control.data());
  lilv_instance_connect_port(dsp, lv2plugin::kNotify, notify.data());
  lilv_instance_activate(dsp);
  for (uint32_t p = lv2plugin::kFirstParameter; p < lv2plugin::kControl; ++p) {
    descriptor_->port_event(ui, p, sizeof(float), 0, &ports[p]);
    shown[p] = ports[p];
  }

  const LV2_URID transfer = host_.id(LV2_ATOM__eventTransfer);
  const LV2_URID valuesKey = host_.id((std::string(lv2plugin::kPrefix) + "parameterValues").c_str());
  std::vector<float> told;  // the DSP's last parameterValues
  size_t delivered = 0;
  auto cycle = [&] {
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, &map_);
    lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(control.data()), control.size() * 8);
    LV2_Atom_Forge_Frame sequence;
    lv2_atom_forge_sequence_head(&forge, &sequence, 0);
    for (; delivered < host_.log.size(); ++delivered) {
      const HostRecord& r = host_.log[delivered];
      if (r.kind != HostRecord::Write) continue;
      if (r.atom.empty()) {
        ports[r.port] = r.value;
      } else {
        lv2_atom_forge_frame_time(&forge, 0);
        lv2_atom_forge_write(&forge, r.atom.data(), static_cast<uint32_t>(r.atom.size()));
      }
    }
    lv2_atom_forge_pop(&forge, &sequence);
    auto* out = reinterpret_cast<LV2_Atom_Sequence*>(notify.data());
    out->atom.type = 0;
    out->atom.size = static_cast<uint32_t>(notify.size() * 8 - sizeof(LV2_Atom));
    lilv_instance_run(dsp, 64);
    LV2_ATOM_SEQUENCE_FOREACH(out, event) {
      descriptor_->port_event(ui, lv2plugin::kNotify, sizeof(LV2_Atom) + event->body.size, transfer, &event->body);
      const auto* object = reinterpret_cast<const LV2_Atom_Object*>(&event->body);
      const LV2_Atom *property = nullptr, *value = nullptr;
      lv2_atom_object_get(object, host_.id(LV2_PATCH__property), &property, host_.id(LV2_PATCH__value), &value, 0);
      if (!property || !value || reinterpret_cast<const LV2_Atom_URID*>(property)->body != valuesKey) continue;
      const auto* vector = reinterpret_cast<const LV2_Atom_Vector*>(value);
      const auto* first = reinterpret_cast<const float*>(&vector->body + 1);
      told.assign(first, first + (value->size - sizeof(LV2_Atom_Vector_Body)) / sizeof(float));
    }
    for (uint32_t p = lv2plugin::kFirstParameter; p < lv2plugin::kControl; ++p) {
      if (ports[p] == shown[p]) continue;
      shown[p] = ports[p];
      descriptor_->port_event(ui, p, sizeof(float), 0, &ports[p]);
    }
    idle(ui, 1);
  };
  for (int i = 0; i < 10; ++i) cycle();

  const std::array<float, lv2plugin::kPortCount> before = ports;
  XTestFakeMotionEvent(display_, DefaultScreen(display_), 366, 166, CurrentTime);
  XTestFakeButtonEvent(display_, 1, True, CurrentTime);
  XTestFakeButtonEvent(display_, 1, False, CurrentTime);
  told.clear();
  for (int i = 0; i < 20; ++i) cycle();
  screenshot(parent, "lv2_ui_x11_program.png");

  ASSERT_EQ(told.size(), static_cast<size_t>(params::kNumParams)) << "the DSP sent no values after the program";
  int moved = 0;
  for (int i = 0; i < params::kNumParams; ++i) {
    if (i == params::DriveSwitch || i == params::CutfModSwitch) continue;  // write-only
    const uint32_t p = lv2plugin::parameterPort(i);
    EXPECT_EQ(ports[p], told[static_cast<size_t>(i)]) << params::kParameterTable[static_cast<size_t>(i)].name;
    moved += ports[p] != before[p];
  }
  EXPECT_GT(moved, 0) << "program 1 moved no port";

  descriptor_->cleanup(ui);
  lilv_instance_deactivate(dsp);
  lilv_instance_free(dsp);
}

}  // namespace
