// A graph as one standalone SVG document, for printing: a title with the line as typed, a
// grid, the axes, the labels in the line's unit, the curves in their colours with their
// asymptotes dashed and their zeros as dots, and a legend. Nothing in it refers to anything
// outside it: the fonts are the reader's own.
#pragma once

#include "picture/graph_plan.h"
#include "picture/picture_text.h"

// The document's size and the plot's place in it, in pixels.
constexpr int svg_width = 800;
constexpr int svg_plot_left = 70;
constexpr int svg_plot_top = 50;
constexpr int svg_plot_width = 700;
constexpr int svg_plot_height = 340;
constexpr int svg_legend_line = 22;  // each expression's line of legend

// Writes the SVG document of the graph of `plan` (planned, not yet sampled) for the `length`
// bytes of `line` into `text`; notes in `notes`.
void write_svg_graph(GraphPlan& plan, const char* line, int length, PictureText& text,
                     ReadingNotes* notes);

// Appends the `length` bytes at `bytes` as XML character data: &, <, > and " escaped, each
// control byte a blank.
void put_xml_text(PictureText& text, const char* bytes, int length);

// Appends the document's opening for a drawing `height` pixels high, titled with the line.
void put_svg_opening(PictureText& text, int height, const char* line, int length);
