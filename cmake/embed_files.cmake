# Writes a C++ source that holds files of the source tree as string
# constants (the pages of `sitedrain serve`), so the executable needs no
# file beside it.  Run as a script:
#   cmake -DOUTPUT=out.cpp -DFILES="a.html|b.css" -P embed_files.cmake
string(REPLACE "|" ";" FILES "${FILES}")
set(delimiter "sd_page")
set(body "// Made by cmake/embed_files.cmake from the files of src/serve/pages.\n")
string(APPEND body "#include \"serve/page_files.h\"\n\nnamespace sitedrain::serve {\n\n")
string(APPEND body "std::string_view page_file(std::string_view name) {\n")
foreach(file IN LISTS FILES)
  file(READ "${file}" content)
  string(FIND "${content}" ")${delimiter}\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${file} holds the embedding's delimiter")
  endif()
  get_filename_component(name "${file}" NAME)
  string(APPEND body "  if (name == \"${name}\")\n    return R\"${delimiter}(${content})${delimiter}\";\n")
endforeach()
string(APPEND body "  return {};\n}\n\n}  // namespace sitedrain::serve\n")
file(WRITE "${OUTPUT}.new" "${body}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
