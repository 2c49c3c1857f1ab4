# The site configuration "VeltraneGTCSetup.ini" and the wireless profiles it
# names, and the small text files of the install folder.

add_executable(payload_ini_check
  ${CMAKE_CURRENT_LIST_DIR}/ini_check.cpp
  ${CMAKE_CURRENT_LIST_DIR}/profile_file_reader.cpp)
target_link_libraries(payload_ini_check PRIVATE OpenSSL::Crypto)
payload_build_tool(payload_ini_check)

# The wireless profiles, named exactly as the BASIC_PROFILE entries name them.
set(payload_profile_dir ${CMAKE_CURRENT_LIST_DIR}/../profiles)
set(payload_profiles "${payload_profile_dir}/Campus Staff.xml" "${payload_profile_dir}/Campus Guest.xml")

# The configuration is checked before it is laid out: a file either reader
# would misread, or one naming a missing profile, never reaches the folder.
set(payload_ini_source ${CMAKE_CURRENT_LIST_DIR}/VeltraneGTCSetup.ini)
add_custom_command(
  OUTPUT ${PAYLOAD_OUT}/VeltraneGTCSetup.ini
  BYPRODUCTS ${PAYLOAD_WORK}/VeltraneGTCSetup.ini
  COMMAND ${PAYLOAD_RUN} $<TARGET_FILE:payload_ansi_text> CP949 ${payload_ini_source}
          ${PAYLOAD_WORK}/VeltraneGTCSetup.ini
  COMMAND ${PAYLOAD_RUN} $<TARGET_FILE:payload_ini_check> ${PAYLOAD_WORK}/VeltraneGTCSetup.ini
          ${payload_profile_dir}
  COMMAND ${CMAKE_COMMAND} -E copy ${PAYLOAD_WORK}/VeltraneGTCSetup.ini ${PAYLOAD_OUT}/VeltraneGTCSetup.ini
  DEPENDS payload_ansi_text payload_ini_check ${payload_ini_source} ${payload_profiles}
  COMMENT "Payload: VeltraneGTCSetup.ini (checked with both readers)"
  VERBATIM)
list(APPEND PAYLOAD_FILES ${PAYLOAD_OUT}/VeltraneGTCSetup.ini)

foreach(profile IN LISTS payload_profiles)
  get_filename_component(name ${profile} NAME)
  add_custom_command(
    OUTPUT ${PAYLOAD_OUT}/${name}
    COMMAND ${CMAKE_COMMAND} -E copy ${profile} ${PAYLOAD_OUT}/${name}
    DEPENDS ${profile}
    COMMENT "Payload: ${name}"
    VERBATIM)
  list(APPEND PAYLOAD_FILES ${PAYLOAD_OUT}/${name})
endforeach()

payload_ansi_text(Version.txt ${CMAKE_CURRENT_LIST_DIR}/../text/Version.txt)
payload_ansi_text(VelPro0.txt ${CMAKE_CURRENT_LIST_DIR}/../text/VelPro0.txt)
