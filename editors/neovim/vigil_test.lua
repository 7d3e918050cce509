-- A headless Neovim session through the README's recipe (tools/neovim_test.sh
-- loads it first): a site script opened by its .txt pattern gets the server,
-- a typo shows its diagnostic with the notes, hover explains a command, and
-- a rename through the server changes every use.
local failures = {}
local function check(ok, what)
  if not ok then table.insert(failures, what) end
end
local function finish()
  if #failures > 0 then
    io.stderr:write('neovim test failed:\n  ' .. table.concat(failures, '\n  ') .. '\n')
    vim.cmd('cquit 1')
  end
  io.stdout:write('neovim test passed\n')
  vim.cmd('qall!')
end

local buf = vim.api.nvim_get_current_buf()
check(vim.bo.filetype == 'vigil', 'filetype of a site script: ' .. vim.bo.filetype)
check(vim.wait(10000, function() return #vim.lsp.buf_get_clients(buf) > 0 end, 50),
      'no language server attached')

-- A mark misspelt in a statement of FRONT.VALID.
vim.api.nvim_buf_set_lines(buf, 20, 21, false, { '    MARK(FORCD)' })
local function diagnostic_with_note()
  for _, d in ipairs(vim.diagnostic.get(buf)) do
    if d.lnum == 20 and d.message:find('did you mean FORCED?', 1, true) then return d end
  end
end
check(vim.wait(10000, function() return diagnostic_with_note() ~= nil end, 50),
      'no diagnostic with its note on line 21: ' .. vim.inspect(vim.diagnostic.get(buf)))

local function request(method, line, character, extra)
  local params = { textDocument = { uri = vim.uri_from_bufnr(buf) },
                   position = { line = line, character = character } }
  for key, value in pairs(extra or {}) do params[key] = value end
  local replies = vim.lsp.buf_request_sync(buf, method, params, 10000) or {}
  for _, reply in pairs(replies) do
    if reply.result then return reply.result end
  end
end

local hover = request('textDocument/hover', 22, 5)
check(hover and hover.contents.value:find('command **DELAY**', 1, true),
      'hover on DELAY: ' .. vim.inspect(hover))

local edit = request('textDocument/rename', 10, 20, { newName = 'WAITTIME' })
check(edit ~= nil, 'rename gave no edit')
if edit then vim.lsp.util.apply_workspace_edit(edit, 'utf-16') end
local text = table.concat(vim.api.nvim_buf_get_lines(buf, 0, -1, false), '\n')
check(text:find('DEFINE PARAMETER WAITTIME = 3', 1, true) and
      text:find('DELAY(WAITTIME)', 1, true) and not text:find('WARNTIME', 1, true),
      'rename of WARNTIME')
finish()
