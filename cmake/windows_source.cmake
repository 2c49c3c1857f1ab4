# Lays out the folders an administrator ships for Windows (cmake -P):
#   OUT_X64  for 64-bit Windows: VeltraneGTC64.exe (x64), VeltraneGTC32.exe
#            (x86), VeltraneGtcSetup.exe (the x64 build), the x86 launcher,
#            the x64 libraries and the payload's data files
#   OUT_X86  the same for 32-bit Windows: VeltraneGtcSetup.exe and the
#            libraries are the x86 builds
# HOST_SOURCE is the host build's source folder: its data files are taken,
# its Linux programs and libraries are not. X64_BUILD and X86_BUILD are the
# cross builds' folders (programs and DLLs in bin/).
set(libraries ORV_EapPeap.dll nxc1xu32.dll ssleay32.dll mfc110.dll msvcp110.dll msvcr110.dll VelText.dll)

function(ship from to)
  if(NOT EXISTS ${from})
    message(FATAL_ERROR "windows_source: ${from} is missing")
  endif()
  file(COPY_FILE ${from} ${to} ONLY_IF_DIFFERENT)
endfunction()

foreach(out ${OUT_X64} ${OUT_X86})
  file(MAKE_DIRECTORY ${out})
  file(GLOB data LIST_DIRECTORIES false RELATIVE ${HOST_SOURCE} ${HOST_SOURCE}/*)
  foreach(name ${data})
    if(NOT name MATCHES "\\.(exe|dll)$")
      ship(${HOST_SOURCE}/${name} ${out}/${name})
    endif()
  endforeach()
  ship(${X64_BUILD}/bin/VeltraneGTC64.exe ${out}/VeltraneGTC64.exe)
  ship(${X86_BUILD}/bin/VeltraneGTC32.exe ${out}/VeltraneGTC32.exe)
  ship(${X86_BUILD}/bin/VeltraneGtcLauncher.exe ${out}/VeltraneGtcLauncher.exe)
endforeach()

ship(${X64_BUILD}/bin/VeltraneGTC64.exe ${OUT_X64}/VeltraneGtcSetup.exe)
ship(${X86_BUILD}/bin/VeltraneGTC32.exe ${OUT_X86}/VeltraneGtcSetup.exe)
foreach(lib ${libraries})
  ship(${X64_BUILD}/bin/${lib} ${OUT_X64}/${lib})
  ship(${X86_BUILD}/bin/${lib} ${OUT_X86}/${lib})
endforeach()
