#include "diagrams/layout_process.h"

#include <dlfcn.h>
#include <gvc.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "diagrams/svg_render.h"

namespace {

// ---- The parent's side: the plugins, loaded before any fork ----

// The plugins a layout needs: the "dot" layout, looked up once in the library's plugin
// folder (the name is the symbol every Graphviz plugin library exports), and our SVG renderer.
struct Plugins {
  lt_symlist_t list[3] = {};
  std::string error;

  Plugins() {
    const char* const file = GRAPHVIZ_PLUGIN_DIR "/libgvplugin_dot_layout.so." GRAPHVIZ_PLUGIN_ABI;
    const char* const name = "gvplugin_dot_layout_LTX_library";
    // Kept loaded for the life of the process: contexts refer to the plugin's tables.
    void* library = dlopen(file, RTLD_NOW | RTLD_LOCAL);
    void* symbol = library ? dlsym(library, name) : nullptr;
    if (!symbol) {
      error = "The Graphviz plugin ";
      error.append(file).append(" can't be loaded: ").append(dlerror());
      return;
    }
    list[0] = {name, symbol};
    list[1] = SvgRenderPlugin();
  }
};

const Plugins& LoadedPlugins() {
  static const Plugins plugins;
  return plugins;
}

// ---- The socket: messages of a length and that many bytes ----

void PutNumber(std::string& out, std::uint32_t n) {
  out.append(reinterpret_cast<const char*>(&n), sizeof n);
}

void PutText(std::string& out, const std::string& text) {
  PutNumber(out, std::uint32_t(text.size()));
  out += text;
}

class Reader {
 public:
  explicit Reader(std::string_view data) : data_(data) {}
  bool Number(std::uint32_t* n) {
    if (data_.size() < sizeof *n) return false;
    std::memcpy(n, data_.data(), sizeof *n);
    data_.remove_prefix(sizeof *n);
    return true;
  }
  bool Text(std::string* text) {
    std::uint32_t n = 0;
    if (!Number(&n) || data_.size() < n) return false;
    text->assign(data_.substr(0, n));
    data_.remove_prefix(n);
    return true;
  }
  std::size_t Left() const { return data_.size(); }

 private:
  std::string_view data_;
};

// MSG_NOSIGNAL: a peer that is gone fails the write instead of raising SIGPIPE.
bool Send(int socket, const std::string& body) {
  std::string message;
  PutNumber(message, std::uint32_t(body.size()));
  message += body;
  for (std::size_t at = 0; at < message.size();) {
    const ssize_t n = send(socket, message.data() + at, message.size() - at, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += std::size_t(n);
  }
  return true;
}

using Clock = std::chrono::steady_clock;

// Reads `size` bytes, waiting until `deadline` at most; *late when that passed first.
bool ReadExactly(int socket, char* data, std::size_t size, Clock::time_point deadline,
                 bool* late) {
  for (std::size_t at = 0; at < size;) {
    int wait = -1;
    if (deadline != Clock::time_point::max()) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      wait = int(std::max<long long>(0, left));
    }
    pollfd ready{socket, POLLIN, 0};
    const int polled = poll(&ready, 1, wait);
    if (polled < 0 && errno == EINTR) continue;
    if (polled == 0) {
      *late = true;
      return false;
    }
    const ssize_t n = read(socket, data + at, size - at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += std::size_t(n);
  }
  return true;
}

bool Receive(int socket, std::string* body, Clock::time_point deadline = Clock::time_point::max(),
             bool* late = nullptr) {
  bool ignored = false;
  if (!late) late = &ignored;
  std::uint32_t size = 0;
  if (!ReadExactly(socket, reinterpret_cast<char*>(&size), sizeof size, deadline, late))
    return false;
  body->resize(size);
  return ReadExactly(socket, body->data(), size, deadline, late);
}

std::string Encode(const LayoutRequest& graph) {
  std::string out;
  PutText(out, graph.title);
  PutText(out, graph.id);
  PutNumber(out, std::uint32_t(graph.nodes.size()));
  for (const LayoutRequest::Node& n : graph.nodes) {
    PutText(out, n.box.caption);
    PutText(out, n.box.name);
    PutNumber(out, n.box.centre ? 1 : 0);
    PutNumber(out, std::uint32_t(n.box.rows.size()));
    for (const DrawingBox::Row& row : n.box.rows) {
      PutText(out, row.kinds);
      PutText(out, row.column);
      PutText(out, row.href);
      PutText(out, row.tooltip);
    }
    PutText(out, n.href);
    PutText(out, n.tooltip);
  }
  PutNumber(out, std::uint32_t(graph.edges.size()));
  for (const LayoutRequest::Edge& e : graph.edges) {
    PutNumber(out, e.tail);
    PutNumber(out, e.head);
    PutText(out, e.label);
    PutText(out, e.tooltip);
  }
  return out;
}

bool Decode(std::string_view data, LayoutRequest* graph) {
  Reader in(data);
  std::uint32_t count = 0;
  if (!in.Text(&graph->title) || !in.Text(&graph->id) || !in.Number(&count) ||
      count > in.Left() / 24)
    return false;
  graph->nodes.resize(count);
  for (LayoutRequest::Node& n : graph->nodes) {
    std::uint32_t centre = 0, rows = 0;
    if (!in.Text(&n.box.caption) || !in.Text(&n.box.name) || !in.Number(&centre) ||
        !in.Number(&rows) || rows > in.Left() / 16)
      return false;
    n.box.centre = centre != 0;
    n.box.rows.resize(rows);
    for (DrawingBox::Row& row : n.box.rows)
      if (!in.Text(&row.kinds) || !in.Text(&row.column) || !in.Text(&row.href) ||
          !in.Text(&row.tooltip))
        return false;
    if (!in.Text(&n.href) || !in.Text(&n.tooltip)) return false;
  }
  if (!in.Number(&count) || count > in.Left() / 16) return false;
  graph->edges.resize(count);
  for (LayoutRequest::Edge& e : graph->edges) {
    if (!in.Number(&e.tail) || !in.Number(&e.head) || !in.Text(&e.label) || !in.Text(&e.tooltip))
      return false;
    if (e.tail >= graph->nodes.size() || e.head >= graph->nodes.size()) return false;
  }
  return in.Left() == 0;
}

// ---- The child's side: the library ----

// The error messages of the drawing in hand. The library reports through one process-wide
// handler, handing a message over in pieces: its level ("Error" or "Warning") first, then the
// text; every message of error level fails the drawing.
struct Messages {
  std::string errors;
  bool inError = false;
};
Messages* collected = nullptr;

int Collect(char* piece) {
  if (!collected) return 0;
  const std::string_view text(piece);
  if (text == "Error" || text == "Warning")
    collected->inError = text == "Error";
  else if (collected->inError && text != ": ")
    collected->errors += text;
  return 0;
}

// Sets an attribute of a graph, node or edge.
template <typename Object>
void Set(Object* object, const char* name, const std::string& value) {
  if (value.empty()) return;
  agsafeset(object, const_cast<char*>(name), const_cast<char*>(value.c_str()),
            const_cast<char*>(""));
}

// A size in points as the library's inches, exact for the whole points a box measures.
std::string Inches(double points) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6f", points / 72);
  return text;
}

void SetDefault(int kind, const char* name, const char* value) {
  agattr(nullptr, kind, const_cast<char*>(name), const_cast<char*>(value));
}

// The drawings' look, given once as the defaults of every graph this process makes: left to
// right (referencing tables before the ones they reference), compact, one sans-serif family
// throughout that every reader has by one of its names. A node is a rectangle of its box's
// size that the library neither labels nor draws: our renderer draws the box. The attributes
// each drawing sets are declared here too, so that a graph copies them rather than declares
// them anew.
void SetLook() {
  SetDefault(AGRAPH, "rankdir", "LR");
  SetDefault(AGRAPH, "nodesep", "0.3");
  SetDefault(AGRAPH, "ranksep", "0.7");
  SetDefault(AGRAPH, "pad", "0.1");
  SetDefault(AGRAPH, "id", "");
  SetDefault(AGNODE, "shape", "box");
  SetDefault(AGNODE, "peripheries", "0");
  SetDefault(AGNODE, "fixedsize", "true");
  SetDefault(AGNODE, "label", "");
  SetDefault(AGNODE, "width", "1");
  SetDefault(AGNODE, "height", "1");
  SetDefault(AGNODE, "href", "");
  SetDefault(AGNODE, "tooltip", "");
  SetDefault(AGEDGE, "fontname", kDrawingFont);
  SetDefault(AGEDGE, "fontsize", "9");
  SetDefault(AGEDGE, "color", kBoxLine);
  SetDefault(AGEDGE, "fontcolor", "#33414f");
  SetDefault(AGEDGE, "arrowsize", "0.7");
  SetDefault(AGEDGE, "label", "");
  SetDefault(AGEDGE, "tooltip", "");
}

// Lays `graph` out and renders it: the SVG element in *out, or false with the library's
// error messages there.
bool Draw(GVC_t* gvc, LayoutRequest& graph, std::string* out) {
  Messages messages;
  collected = &messages;
  agreseterrors();

  Agraph_t* g = agopen(graph.title.data(), Agdirected, nullptr);
  Set(g, "id", graph.id);
  std::vector<Agnode_t*> nodes;
  for (std::size_t i = 0; i < graph.nodes.size(); ++i) {
    const LayoutRequest::Node& n = graph.nodes[i];
    Agnode_t* node = agnode(g, std::to_string(i).data(), 1);
    MeasureBox(gvc, &graph.nodes[i].box);
    Set(node, "width", Inches(n.box.width));
    Set(node, "height", Inches(n.box.height));
    Set(node, "href", n.href);
    Set(node, "tooltip", n.tooltip);
    nodes.push_back(node);
  }
  for (const LayoutRequest::Edge& e : graph.edges) {
    Agedge_t* edge = agedge(g, nodes[e.tail], nodes[e.head], nullptr, 1);
    Set(edge, "label", e.label);
    Set(edge, "tooltip", e.tooltip);
  }

  // Rendered "to memory", as the library calls it, though the renderer writes to *out: a
  // rendering to no file would flush this process's standard output, which holds a copy of
  // what the parent had not written yet when it forked this one.
  out->clear();
  std::vector<DrawingBox> boxes;
  boxes.reserve(graph.nodes.size());
  for (const LayoutRequest::Node& n : graph.nodes) boxes.push_back(n.box);
  SetSvgOutput(out, &boxes);
  char* data = nullptr;
  unsigned int length = 0;
  const bool laidOut = gvLayout(gvc, g, "dot") == 0;
  const bool rendered = laidOut && gvRenderData(gvc, g, kSvgFormat, &data, &length) == 0;
  SetSvgOutput(nullptr);
  gvFreeRenderData(data);
  const bool failed = !rendered || agerrors() >= AGERR;
  if (laidOut) gvFreeLayout(gvc, g);
  agclose(g);
  collected = nullptr;
  if (failed) *out = messages.errors;
  return !failed;
}

// The child: answers each request on `socket` with "1" and the SVG or "0" and the reason,
// until the parent closes its end.
[[noreturn]] void ServeLayouts(int socket, const lt_symlist_t* plugins) {
  // Only these plugins: no configuration file is read and no other plugin (a text layout
  // that would measure with the machine's fonts) is loaded.
  GVC_t* gvc = gvContextPlugins(plugins, 0);
  SetLook();
  agseterrf(Collect);
  agseterr(AGWARN);
  std::string request, reply;
  LayoutRequest graph;
  while (Receive(socket, &request)) {
    std::string text;
    bool drawn = false;
    if (!gvc)
      text = "the Graphviz library could not be started";
    else if (!Decode(request, &graph))
      text = "the graph could not be read";
    else
      drawn = Draw(gvc, graph, &text);
    reply.assign(1, drawn ? '1' : '0');
    reply += text;
    if (!Send(socket, reply)) break;
  }
  _exit(0);
}

std::string SystemError(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

LayoutProcess::~LayoutProcess() { Stop(); }

bool LayoutProcess::Start(std::string* error) {
  const Plugins& plugins = LoadedPlugins();
  if (!plugins.error.empty()) {
    *error = plugins.error;
    return false;
  }
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
    *error = SystemError("the layout process can't be started");
    return false;
  }
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid == 0) {
    // The child ends with its parent, also one that was killed; if the parent died before
    // the child asked for that, it ends now.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(0);
    // The child keeps its end of the socket as descriptor 3 and none of the parent's files,
    // so that it holds no pipe, database or display connection of the parent open.
    dup2(ends[1], 3);
    close_range(4, ~0U, 0);
    ServeLayouts(3, plugins.list);
  }
  close(ends[1]);
  if (pid < 0) {
    *error = SystemError("the layout process can't be started");
    close(ends[0]);
    return false;
  }
  pid_ = pid;
  socket_ = ends[0];
  drawn_ = 0;
  return true;
}

std::string LayoutProcess::Stop() {
  if (pid_ < 0) return {};
  close(socket_);
  // A child that has died keeps the status it died with; one that is alive is idle.
  kill(pid_, SIGKILL);
  int status = 0;
  while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  socket_ = -1;
  return "the layout process stopped unexpectedly (" +
         (WIFSIGNALED(status) ? std::string(sigdescr_np(WTERMSIG(status)))
                              : "exit status " + std::to_string(WEXITSTATUS(status))) +
         ")";
}

LayoutOutcome LayoutProcess::RenderSvg(const LayoutRequest& graph, int seconds,
                                       std::string* svg, std::string* error) {
  if (drawn_ == kDrawingsPerProcess) Stop();
  if (pid_ < 0 && !Start(error)) return LayoutOutcome::Failed;
  ++drawn_;
  std::string reply;
  bool late = false;
  const auto deadline = Clock::now() + std::chrono::seconds(seconds);
  if (!Send(socket_, Encode(graph)) || !Receive(socket_, &reply, deadline, &late) ||
      reply.empty()) {
    *error = Stop();
    return late ? LayoutOutcome::TooSlow : LayoutOutcome::Failed;
  }
  (reply[0] == '1' ? *svg : *error) = reply.substr(1);
  return reply[0] == '1' ? LayoutOutcome::Drawn : LayoutOutcome::Failed;
}
