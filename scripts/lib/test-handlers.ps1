# Windows' form of scripts/lib/test-handlers: makes the recorder the application of the test URL
# scheme "brtest:" and of the test file type ".brt" for this user, under HKCU\Software\Classes;
# with -Remove, deletes those keys again. Web addresses keep their application: a per-user https
# entry would override the browser that the user chose, so the tests do without it on Windows.
# Usage: test-handlers.ps1 -Recorder build\recorder.exe | test-handlers.ps1 -Remove
param([string]$Recorder, [switch]$Remove)
$ErrorActionPreference = 'Stop'
$classes = 'Software\Classes'
$keys = 'brtest', '.brt', 'brtfile'
$user = [Microsoft.Win32.Registry]::CurrentUser

if ($Remove) {
  foreach ($key in $keys) { $user.DeleteSubKeyTree("$classes\$key", $false) }
  return
}
if (-not $Recorder) { throw 'Give the recorder: -Recorder <path of recorder.exe>' }
# The command as the tests expect to find it in the recorder's output: its full path, then the item.
$command = '"{0}" "%1"' -f (Resolve-Path $Recorder).Path
function Set-Default([string]$key, [string]$value) {
  $opened = $user.CreateSubKey("$classes\$key")
  try { $opened.SetValue('', $value) } finally { $opened.Dispose() }
}
Set-Default 'brtest' 'URL:brtest Protocol'
$scheme = $user.CreateSubKey("$classes\brtest")
try { $scheme.SetValue('URL Protocol', '') } finally { $scheme.Dispose() }
Set-Default 'brtest\shell\open\command' $command
Set-Default '.brt' 'brtfile'
Set-Default 'brtfile\shell\open\command' $command
# Plain strings (REG_SZ) holding an environment string, as scripts/lib/test-handlers sets them.
Set-Default 'brtest\DefaultIcon' '%SystemRoot%\system32\shell32.dll,3'
Set-Default 'brtfile\DefaultIcon' '%SystemRoot%\system32\shell32.dll,3'
Write-Host "brtest: and .brt open with $command"
