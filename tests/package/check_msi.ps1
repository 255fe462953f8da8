# The msi on Windows itself, where Wine's msi differs (check_package.sh): installed per user, its
# entry in Apps & features is under HKCU, with the package's icon; a newer package replaces it in
# place; the uninstall removes the program, its Start menu entry and its Apps & features entry.
# Usage: check_msi.ps1 -Folder FOLDER -Version VERSION, FOLDER holding Brindlework-VERSION-x64.msi
# and the package of the next version, as the linux job of .github/workflows/ci.yml makes them.
param([Parameter(Mandatory)][string]$Folder, [Parameter(Mandatory)][string]$Version)
$ErrorActionPreference = 'Stop'
$Folder = (Resolve-Path $Folder).Path
$v = [version]$Version
$newer = '{0}.{1}.{2}' -f $v.Major, $v.Minor, ($v.Build + 1)  # as check_package.sh names it
$program = Join-Path $env:LOCALAPPDATA 'Programs\Brindlework\Brindlework.exe'
$startEntry = Join-Path $env:APPDATA 'Microsoft\Windows\Start Menu\Programs\Brindlework.lnk'
$script:failed = 0
function Fail([string]$message) { Write-Host "FAIL: $message"; $script:failed++ }

# Runs msiexec without a user interface and gives its exit code; its log is shown on a failure.
function Msiexec([string]$action, [string]$version) {
  $msi = Join-Path $Folder "Brindlework-$version-x64.msi"
  $log = Join-Path $Folder "msiexec$($action -replace '/', '-')-$version.log"
  $run = Start-Process msiexec.exe -ArgumentList $action, "`"$msi`"", '/qn', '/l*v', "`"$log`"" `
    -Wait -PassThru
  if ($run.ExitCode -ne 0) { Get-Content $log -Tail 40 | Out-Host }
  return $run.ExitCode
}

# The entries of Apps & features named Brindlework under one root (HKCU or HKLM).
function Entries([string]$root) {
  Get-ChildItem "${root}:\Software\Microsoft\Windows\CurrentVersion\Uninstall" `
    -ErrorAction SilentlyContinue | Get-ItemProperty |
    Where-Object { $_.DisplayName -eq 'Brindlework' }
}

# One entry, under HKCU, of the version, whose icon is a file that exists.
function Check-Entry([string]$version) {
  $entries = @(Entries HKCU)
  $machine = @(Entries HKLM)
  Write-Host "Apps & features entries: $($entries.Count) under HKCU, $($machine.Count) under HKLM"
  if ($machine.Count -ne 0) { Fail 'a per-user product has an entry under HKLM' }
  if ($entries.Count -ne 1) { Fail "HKCU holds $($entries.Count) entries"; return }
  $entry = $entries[0]
  Write-Host "Apps & features: $($entry.DisplayVersion), icon $($entry.DisplayIcon)"
  if ($entry.DisplayVersion -ne $version) { Fail "the entry shows $($entry.DisplayVersion)" }
  # DisplayIcon is a path, possibly with ",index" after it.
  $icon = "$($entry.DisplayIcon)" -replace ',-?\d+$', ''
  if (-not $icon -or -not (Test-Path -LiteralPath $icon.Trim('"'))) {
    Fail "DisplayIcon names no file: '$($entry.DisplayIcon)'"
  }
}

Write-Host "-- install $Version"
$code = Msiexec '/i' $Version
if ($code -ne 0) { Fail "msiexec /i exits $code" }
if (-not (Test-Path $program)) { Fail "no $program" }
if (-not (Test-Path $startEntry)) { Fail "no $startEntry" }
Check-Entry $Version

Write-Host "-- upgrade to $newer"
$code = Msiexec '/i' $newer
if ($code -ne 0) { Fail "msiexec /i of $newer exits $code" }
if (-not (Test-Path $program)) { Fail "the upgrade left no $program" }
Check-Entry $newer

Write-Host '-- uninstall'
$code = Msiexec '/x' $newer
if ($code -ne 0) { Fail "msiexec /x exits $code" }
if (Test-Path (Split-Path $program)) { Fail "the program's folder is still there" }
if (Test-Path $startEntry) { Fail 'the Start menu entry is still there' }
if (@(Entries HKCU).Count -ne 0) { Fail 'Apps & features still holds an entry' }

if ($script:failed) { Write-Host "$($script:failed) package checks failed"; exit 1 }
Write-Host 'all package checks passed'
