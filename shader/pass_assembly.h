#pragma once
// Wraps a pass text into the one GLSL text that serves both stages.

// The text lives in a per-thread buffer until the next pass is assembled on
// that thread; it is never cut.
const char* assemble_pass_source(const char* pass_text, const char* common_text, int pass_index);

extern const char kPassVertexText[];
extern const char kPassFragmentHeader[];
extern const char kPassMainWrapper[];
extern const char kPassConventionDefines[];

// The source-string numbers compiler messages give before the line number.
constexpr int kPassSourceNumber = 0;
constexpr int kCommonPartSourceNumber = 1;
