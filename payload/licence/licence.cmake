# The licence agreement the licence page shows, in CP949 with CRLF.
payload_ansi_text(EULA_kor.txt ${CMAKE_CURRENT_LIST_DIR}/EULA_kor.txt)
