#pragma once
// Graphviz lays graphs out in a child process, not in this one: a crash of the library fails
// that drawing with the reason, never this process, and what the library loses ends with the
// child. (As Debian 12 ships it, it keeps part of what it allocates for every HTML-like label;
// our drawings have none, and 6,000 drawings left a child's memory as it was.) A child draws
// kDrawingsPerProcess graphs and is then ended; the next drawing forks a new one.
//
// A drawing that takes longer than its time limit ends its child (the library has no way to
// stop a layout half-way), and the next drawing starts a new one. A child dies with the
// program, so a killed build leaves no layout running.
//
// The child is forked from a program that may run other threads (the GUI), so it uses only
// what a fork leaves in order: the memory allocator (which takes no lock, see
// allocator/allocator.h) and its socket, and the Graphviz library with its plugins, loaded
// before the fork. It uses no Qt.

#include <sys/types.h>

#include <string>
#include <vector>

#include "diagrams/drawing_box.h"

// Drawings per child: a new child is a fork of a build that may hold a hundred megabytes,
// whose pages are then copied as either side writes them, some 40 ms of the kernel's time at
// 30,000 objects. A child draws a large build's drawings in one or two lives, and should a
// graph of a shape not yet measured lose memory in the library, that is ended with it.
inline constexpr int kDrawingsPerProcess = 20000;

// A graph with its texts as the library reads them (with the library's escapes), but for the
// boxes' texts, which only our renderer reads. An edge joins two nodes by their indexes.
struct LayoutRequest {
  struct Node {
    DrawingBox box;
    std::string href, tooltip;
  };
  struct Edge {
    unsigned tail = 0, head = 0;
    std::string label, tooltip;
  };
  std::string title, id;
  std::vector<Node> nodes;
  std::vector<Edge> edges;
};

enum class LayoutOutcome { Drawn, Failed, TooSlow };

class LayoutProcess {
 public:
  LayoutProcess() = default;
  ~LayoutProcess();
  LayoutProcess(const LayoutProcess&) = delete;
  LayoutProcess& operator=(const LayoutProcess&) = delete;

  // Drawn: the <svg> element (no XML declaration, no comments) in *svg. Failed: the
  // library's error messages, or why the child could not draw, in *error. TooSlow: the
  // drawing took longer than `seconds`.
  LayoutOutcome RenderSvg(const LayoutRequest& graph, int seconds, std::string* svg,
                          std::string* error);

 private:
  bool Start(std::string* error);
  // Ends the child. After a failed exchange the child has ended by itself: the text says how.
  std::string Stop();

  pid_t pid_ = -1;
  int socket_ = -1;
  int drawn_ = 0;
};
