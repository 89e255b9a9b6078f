#pragma once
// Wraps a pass text into the one GLSL text that serves both stages.

// The text lives in a process-wide buffer until the next pass is assembled.
// Longer texts are cut to the buffer; the compiler then reports them.
const char* assemble_pass_source(const char* pass_text, const char* common_text, int pass_index);

constexpr int kAssemblyBufferSize = 0x100000;

extern const char kPassVertexText[];
extern const char kPassFragmentHeader[];
extern const char kPassMainWrapper[];
extern const char kPassConventionDefines[];

// The source-string numbers compiler messages give before the line number.
constexpr int kPassSourceNumber = 0;
constexpr int kCommonPartSourceNumber = 1;
