# Writes the site's service worker from its template: the names of the
# site's files, and a version that changes whenever one of them does.
#
#   cmake -DTEMPLATE=<service-worker.js.in> -DOUTPUT=<file> -DSMALL=<a|b|...> -DLARGE=<c|d|...> -P service_worker.cmake
foreach(group SMALL LARGE)
  string(REPLACE "|" ";" files "${${group}}")
  set(names)
  foreach(file ${files})
    get_filename_component(name ${file} NAME)
    file(SHA256 ${file} hash)
    string(APPEND hashes "${name} ${hash}\n")
    list(APPEND names "\"${name}\"")
  endforeach()
  list(JOIN names ", " joined)
  set(SITE_${group}_FILES "[${joined}]")
endforeach()
string(SHA256 version "${hashes}")
string(SUBSTRING ${version} 0 16 SITE_VERSION)
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
