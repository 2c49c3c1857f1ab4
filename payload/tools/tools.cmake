# Texts are kept in UTF-8 in the repository; they ship in the ANSI code page
# of a Korean Windows (CP949) with CRLF line ends.

add_executable(payload_ansi_text ${CMAKE_CURRENT_LIST_DIR}/ansi_text.cpp)
payload_build_tool(payload_ansi_text)

# Lays out <name> in the source folder as ANSI text made from <source>.
function(payload_ansi_text name source)
  add_custom_command(
    OUTPUT ${PAYLOAD_OUT}/${name}
    COMMAND ${PAYLOAD_RUN} $<TARGET_FILE:payload_ansi_text> CP949 ${source} ${PAYLOAD_OUT}/${name}
    DEPENDS payload_ansi_text ${source}
    COMMENT "Payload: ${name}"
    VERBATIM)
  set(PAYLOAD_FILES ${PAYLOAD_FILES} ${PAYLOAD_OUT}/${name} PARENT_SCOPE)
endfunction()
